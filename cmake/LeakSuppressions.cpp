// Linked into the tests and fuzz targets of a sanitizer build.  The font
// configuration library keeps a few allocations for the life of the
// process and never frees them, and the web engine's core library leaves
// some of its own at exit; the leak checker is told to leave those alone,
// so that what it reports is always one of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libQt6WebEngineCore.so\n";
}
