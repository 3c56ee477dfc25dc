// Sanitizer settings of the test programs in the sanitizer build. They live in
// the programs rather than in the environment so that every way of starting
// them (CTest, its test discovery, a death test's child, by hand) has them.

extern "C" {

// The toolkit and the web engine keep caches and type data until the process
// ends, which the leak checker cannot tell from leaks; the unit tests run
// without the toolkit and are checked for leaks.
const char* __asan_default_options() {
#ifdef TAVIK_DISPLAY_TESTS
    return "detect_leaks=0:strict_string_checks=1";
#else
    return "detect_leaks=1:strict_string_checks=1";
#endif
}

const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}

}  // extern "C"
