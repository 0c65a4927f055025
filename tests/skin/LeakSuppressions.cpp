// LeakSanitizer: fontconfig and D-Bus keep caches for the life of the
// process that they never free; those are theirs, not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libdbus-1.so\n";
}
