#include "MessageBox.h"
#include "MessageBoxCommon.h"

#include <windows.h>

namespace Platform {

void showMessageBox(const char* text, const char* title)
{
    if (detail::recordMessage(text, title)) return;
    MessageBoxA(nullptr, text ? text : "", title ? title : "", MB_OK);
}

}  // namespace Platform
