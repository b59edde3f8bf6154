// Linked into every test program of a sanitizer build. The platform layer is linked statically
// into the program and into each shared library that needs it (one set of sources for every
// deliverable); the dynamic linker binds all of them to one copy, so identical duplicates of its
// globals are expected. AddressSanitizer still reports a duplicate whose size differs.
extern "C" const char* __asan_default_options() { return "detect_odr_violation=1"; }
