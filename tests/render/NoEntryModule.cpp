// A loadable module that exports no VST entry point.
extern "C" __attribute__((visibility("default"))) int renderTestNotAPlugin() { return 42; }
