// For sanitizer builds of programs that draw text on Linux (tests, tools):
// fontconfig keeps blocks of its configuration files, parsed once per
// process when the first font is looked up, without any pointer to them.
// That one-time loss is fontconfig's and is not reported; everything else
// still is. Full stacks through libraries built without frame pointers let
// the suppression match only that one place.
extern "C" const char* __lsan_default_suppressions() { return "leak:XML_ParseBuffer\n"; }
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
