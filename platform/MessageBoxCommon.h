// Shared part of the message box service: the recorder and the
// no-dialog mode that tests use. Each OS file shows the real box.
#pragma once

namespace Platform {
namespace detail {

// True when the message was recorded instead of shown (recorder installed, or
// ONDREL_NO_DIALOGS set in the environment).
bool recordMessage(const char* text, const char* title);

}  // namespace detail
}  // namespace Platform
