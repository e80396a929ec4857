// fontconfig keeps a few allocations of its font cache past exit by design;
// the leak checker of the sanitizer build would report them in every test.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
