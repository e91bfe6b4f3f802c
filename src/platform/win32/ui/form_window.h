// Base of the program's windows: a fixed-size top-level window full of
// standard controls laid out from a table in twips.  It creates the window
// and its controls, shows the program icon in the picture control, lays
// everything out at the window's dpi and again at each dpi change, keeps the
// focused control across deactivation, measures and moves the window in
// twips, opens it modally over an owner, and does the keyboard handling of a
// message loop.  A window says only what it looks like (its FormLayout,
// first focus included) and handles its own messages.
#pragma once

#include <windows.h>

#include <functional>
#include <span>

#include "platform/geometry.h"
#include "platform/win32/common/unique_gdi_handles.h"
#include "platform/win32/ui/dialog_keys.h"
#include "platform/win32/ui/form_controls.h"
#include "platform/win32/ui/message_window.h"

namespace velmora::platform::win32 {

struct FormLayout {
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    DWORD exStyle;
    // The client area, in twips.
    int clientWidth;
    int clientHeight;
    // In creation order, which is the z-order and the tab order.
    std::span<const ControlLayout> controls;
    int firstFocusId;  // the control that has the focus when the window opens
    int pictureId;     // the SS_ICON control that shows the program icon
    bool classIcon;    // the icon also in the caption and the task bar
    int bottomId = 0;  // a control put under all the others (a group box), or 0
};

class Win32Form : public FormWindow, private MessageWindow {
  public:
    using MessageWindow::Handle;

    float WidthTwips() const override;
    float HeightTwips() const override;
    void MoveTwips(float left, float top) override;
    unsigned Dpi() const override;
    WindowHandle NativeHandle() const override { return reinterpret_cast<WindowHandle>(Handle()); }

    // Keyboard handling for the message loop; true when msg was consumed.
    bool PreTranslate(MSG& msg);

  protected:
    // Nothing is created yet.  iconResource names the program icon (null or
    // missing: no icon).
    Win32Form(HINSTANCE instance, const wchar_t* iconResource, const FormLayout& layout);
    ~Win32Form();

    // Creates the window hidden, owned by owner (or none), with its controls
    // laid out at its dpi.  Throws std::runtime_error when it cannot be made.
    void Create(HWND owner);
    // Shows the window and gives the focus to its first control.
    void Show(int showCommand);
    void Destroy() { DestroyHandle(); }
    // The control created with id, or null.
    HWND Control(int id) const { return controls_.Get(id); }

    // Creates the window owned by owner, runs load (which may move it), keeps
    // owner disabled while the window is shown and dispatches messages until
    // it is gone, then hands the activation back to owner.  The window is
    // destroyed and owner enabled again however this is left.
    void ShowModalOver(HWND owner, const std::function<void()>& load);
    // Ends a modal display: owner first gets its input back, so that the
    // system activates it rather than another program's window.
    void EndModal();

    // The window's own messages, after the ones every form handles alike.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
    void OnDestroyed() noexcept override;
    void ApplyDpi(UINT dpi);
    void RunModalLoop();
    void ReleaseOwner();

    HINSTANCE instance_;
    const wchar_t* iconResource_;
    const FormLayout& layout_;
    FormControls controls_;
    UniqueHicon picture_;
    FocusMemory focus_;
    HWND disabledOwner_ = nullptr;
};

}  // namespace velmora::platform::win32
