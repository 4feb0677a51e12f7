// The sanitizer settings of a test program that loads the SMB share library. That library
// loads and unloads modules of its own that keep thread-local data; the leak check at exit
// then finds a record of such data whose module is gone, and its tracer crashes reading it
// ("Tracer caught signal 11", a corrupt "DTLS" range in its log), in about one run of four.
// Not following dynamically allocated thread-local blocks avoids that; the rest of the check
// is unchanged. Settings given in ASAN_OPTIONS still come first.
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
