# ondrill_add_library(<name> SOURCES ... [QT <components>] [DEPENDS <libs>])
# One static library per subsystem folder.
function(ondrill_add_library name)
  cmake_parse_arguments(ARG "AUTOMOC" "" "SOURCES;DEPENDS;QT" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  foreach(component ${ARG_QT})
    target_link_libraries(${name} PUBLIC Qt6::${component})
  endforeach()
  if(ARG_DEPENDS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  endif()
  if(ARG_AUTOMOC)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# ondrill_add_test(<name> LABEL <label> SOURCES ... [DEPENDS <libs>] [ENVIRONMENT <NAME=value>])
# A GoogleTest program whose cases are registered with CTest under one label.
# ENVIRONMENT sets one more variable for its cases (a second would not
# survive: discovered tests split list-valued properties into pairs).
function(ondrill_add_test name)
  cmake_parse_arguments(ARG "AUTOMOC" "LABEL;TIMEOUT;ENVIRONMENT" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ONDRILL_LEAK_SUPPRESSIONS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # A program that runs the web engine takes the sanitizer options it needs.
  if(ONDRILL_SANITIZE AND "platform_webview" IN_LIST ARG_DEPENDS)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/WebEngineSanitizerOptions.cpp)
  endif()
  if(ARG_AUTOMOC)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main GTest::gmock)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(extra)
  if(ARG_ENVIRONMENT)
    string(REPLACE "=" "=set:" modification "${ARG_ENVIRONMENT}")
    set(extra ENVIRONMENT_MODIFICATION ${modification})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
               ENVIRONMENT QT_QPA_PLATFORM=offscreen ${extra})
endfunction()

# ondrill_add_benchmark(<name> SOURCES ... DEPENDS ...)
function(ondrill_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark outside_data)
endfunction()

# ondrill_add_fuzzer(<name> SOURCES ... DEPENDS ... CORPUS <dir>)
# With ONDRILL_LIBFUZZER the target is a libFuzzer binary; otherwise it is a
# plain runner that feeds every file of the checked-in corpus to the entry
# point once, registered as a test under the label "fuzz".
function(ondrill_add_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS;LABEL" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ONDRILL_LEAK_SUPPRESSIONS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  if(ONDRILL_LIBFUZZER)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz/CorpusRunner.cpp)
    if(ONDRILL_BUILD_TESTS)
      if(NOT ARG_LABEL)
        set(ARG_LABEL fuzz)
      endif()
      add_test(NAME ${name}.corpus COMMAND ${name} ${ARG_CORPUS})
      set_tests_properties(${name}.corpus PROPERTIES LABELS "${ARG_LABEL};fuzz" TIMEOUT 300
                           ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
  endif()
endfunction()
