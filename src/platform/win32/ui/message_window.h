// Base of the program's top-level windows.  The window class's procedure is
// a static thunk: it stores the C++ object's address in GWLP_USERDATA at
// WM_NCCREATE, hands every later message to HandleMessage, and clears the
// address at WM_NCDESTROY, so no message reaches an object after its window
// is gone.  No exception leaves the thunk: one that reaches it is reported
// in a message box and the message counts as handled.
#pragma once

#include <windows.h>

namespace velmora::platform::win32 {

struct WindowClassInfo {
    const wchar_t* name;
    HICON icon;       // null: none
    HICON smallIcon;  // null: derived from icon
};

struct FrameInfo {
    const wchar_t* caption;
    DWORD style;
    DWORD exStyle;
    HWND owner;
};

class MessageWindow {
  public:
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // Null while the window does not exist.
    HWND Handle() const { return hwnd_; }

  protected:
    MessageWindow() = default;
    // Destroys a window still open without calling HandleMessage, which
    // belongs to a derived object that is already gone.  Derived classes
    // destroy their window themselves first, with DestroyHandle.
    ~MessageWindow();

    // Registers the class (once per process) and creates the window hidden,
    // at the default position with no size.  Throws on failure.
    void CreateHandle(HINSTANCE instance, const WindowClassInfo& windowClass,
                      const FrameInfo& frame);
    void DestroyHandle();

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Called at WM_NCDESTROY, after which Handle() is null.
    virtual void OnDestroyed() noexcept {}

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace velmora::platform::win32
