#include "MessageBox.h"
#include "MessageBoxCommon.h"

#include <cstdio>

namespace Platform {

void showMessageBox(const char* text, const char* title)
{
    if (detail::recordMessage(text, title)) return;
    std::fprintf(stderr, "%s: %s\n", title ? title : "", text ? text : "");
}

}  // namespace Platform
