// LeakSanitizer, for the metafile decoding run in-process: libwmf's bitmap
// device hands its page over and offers no exported way to free it,
// libemf2svg leaves a few bytes behind, and fontconfig and D-Bus keep
// caches for the life of the process. The program
// runs this decoding only in the short-lived helper process, whose memory
// goes with it.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libwmf-0.2.so\n"
         "leak:libemf2svg.so\n"
         "leak:libfontconfig.so\n"
         "leak:libdbus-1.so\n";
}
