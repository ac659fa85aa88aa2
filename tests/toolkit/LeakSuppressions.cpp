// fontconfig keeps blocks of its configuration files, parsed once per
// process when the first font is looked up, without any pointer to them.
// That one-time loss is fontconfig's; everything else must be freed.
extern "C" const char* __lsan_default_suppressions() { return "leak:XML_ParseBuffer\n"; }

// Full stacks through libraries built without frame pointers, so that the
// suppression above matches only that one place.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
