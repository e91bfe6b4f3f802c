// Keyboard handling of a top-level window full of standard controls, done
// in the message loop before a message is dispatched.  IsDialogMessageW gives
// Tab and Shift+Tab, the arrow keys, Alt+access key (a BM_CLICK on the
// button) and the space bar.  Enter and Escape are settled here first, since
// the windows have no default or cancel button: Enter presses the push
// button that has the focus and does nothing elsewhere, Escape does nothing.
#pragma once

#include <windows.h>

namespace velmora::platform::win32 {

// True when msg was consumed and must not be dispatched.
bool TranslateDialogKeys(HWND window, MSG& msg);

// Remembers which control of a window has the focus, so that it gets it back
// when the window is activated again (after a message box, say): the default
// activation would give the focus to the frame itself.
class FocusMemory {
  public:
    // Notes the focused control when it is one of window's.
    void Note(HWND window);
    // Gives the focus to the noted control, or to fallback.
    void Restore(HWND window, HWND fallback);
    void Forget() { focused_ = nullptr; }

  private:
    HWND focused_ = nullptr;
};

}  // namespace velmora::platform::win32
