#include "MessageBox.h"
#include "MessageBoxCommon.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace Platform {

static std::atomic<MessageRecorder> g_recorder{nullptr};

void setMessageRecorder(MessageRecorder recorder) { g_recorder = recorder; }

namespace detail {

bool recordMessage(const char* text, const char* title)
{
    if (!text) text = "";
    if (!title) title = "";
    if (MessageRecorder r = g_recorder.load()) {
        r(text, title);
        return true;
    }
    const char* noDialogs = std::getenv("ONDREL_NO_DIALOGS");
    if (!noDialogs || !*noDialogs || *noDialogs == '0') return false;
    std::fprintf(stderr, "%s: %s\n", title, text);
    const char* log = std::getenv("ONDREL_MESSAGE_LOG");
    if (log && *log) {
        if (FILE* f = std::fopen(log, "a")) {
            std::fprintf(f, "%s|%s\n", title, text);
            std::fclose(f);
        }
    }
    return true;
}

}  // namespace detail
}  // namespace Platform
