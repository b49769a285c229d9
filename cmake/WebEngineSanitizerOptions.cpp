// Linked into the test programs that run the web engine in a sanitizer
// build.  The engine frees some of its objects through a base class of
// another size, a mismatch inside the library that is none of ours; the
// address sanitizer is told not to stop the program for it, and keeps
// checking everything else.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
