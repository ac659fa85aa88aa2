// Modal messages to the user, through the platform: a message box on
// Windows, a line on the standard error stream on Linux.
//
// Tests and headless hosts set the environment variable ONDREL_NO_DIALOGS=1:
// then no window is ever opened, and each message is appended as a line
// "title|text" to the file named by ONDREL_MESSAGE_LOG (when set) so that a
// test can see what the user would have been shown. In-process tests can
// install a recorder instead.
#pragma once

namespace Platform {

void showMessageBox(const char* text, const char* title);

using MessageRecorder = void (*)(const char* text, const char* title);
// Installs a recorder that receives every message instead of the user; null removes it.
void setMessageRecorder(MessageRecorder recorder);

}  // namespace Platform
