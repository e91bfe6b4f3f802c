// The messages both of the program's windows handle alike: the focused
// control is remembered across deactivation, and a dpi change lays the
// window out again at the position the system suggests.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "platform/win32/ui/dialog_keys.h"

namespace velmora::platform::win32 {

// The message's result when it was one of these, else nothing (WM_ACTIVATE
// is noted and still left to the default processing).
std::optional<LRESULT> HandleFocusAndDpi(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         FocusMemory& focus, HWND firstFocus,
                                         const std::function<void(UINT dpi)>& applyDpi);

}  // namespace velmora::platform::win32
