// Shared part of the message box service: the recorder and the
// no-dialog mode that tests use. Each OS file shows the real box.
#pragma once

namespace Platform {
namespace detail {

// True when the message was recorded instead of shown (recorder installed, or
// ONDREL_NO_DIALOGS set in the environment).
bool recordMessage(const char* text, const char* title);

// Linux: shows the message in a modal X11 window when a display is reachable
// and waits until OK is pressed (or `autoCloseMs` > 0 milliseconds pass).
// False when there is no display.
bool showMessageWindow(const char* text, const char* title, int autoCloseMs);

}  // namespace detail
}  // namespace Platform
