// The main window on user32: a fixed-size top-level window whose standard
// controls (see main_window_layout.h for class names, ids and styles) are
// wired to the main window's handlers.
//
//   WM_PAINT              BeginPaint/EndPaint first, then Form_Paint
//   LBN_SELCHANGE (1000)  UninstallList_Click
//   LBN_DBLCLK (1000)     UninstallList_DblClick
//   BN_CLICKED 1002-1006  UpdateCommand, ListDelCommand, AddAndDelCommand,
//                         VersionCommand, EndCommand _Click
//   kUninstallKeysChanged UninstallKeys_Change, for the latest watch only
//                         (posted by the change signal's wait; see event_message.h)
//   kVerdictsReady        UninstallerChecks_Done with the verdicts waiting
//                         (posted by the checks' thread; see win32_uninstaller_checks.h)
//   WM_TIMER kChecksTimer the check's entries handed to its thread, the window
//                         being idle
//   WM_DRAWITEM (1000)    the list's line, drawn by the list (owner-drawn)
//   WM_CLOSE              destroys the window; WM_DESTROY ends the message loop
//
// While the window is disabled (a message box or the version dialog is
// open) control notifications are ignored, so that nothing sent to its
// controls from outside can run a handler then.  Repaints still run.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "platform/uninstaller_probe.h"
#include "platform/win32/forms/win32_uninstaller_checks.h"
#include "platform/win32/ui/event_message.h"
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/win32_controls.h"

namespace velmora::mainwindow {
class ZentrelForm;
}

namespace velmora::platform::win32 {

class Win32MainWindow : public Win32Form {
  public:
    // Creates the window hidden, with its controls laid out at its dpi.
    // iconResource names the program icon (null or missing: no icon).  The
    // probe judges the listed entries' uninstallers (null: none is judged).
    // Throws std::runtime_error when the window cannot be made.
    Win32MainWindow(HINSTANCE instance, const wchar_t* iconResource,
                    std::shared_ptr<const UninstallerProbe> probe = nullptr);
    ~Win32MainWindow();

    ListBox& UninstallList() { return *uninstallList_; }
    TextBox& UninstallStringText() { return *uninstallStringText_; }
    MessageBoxes& Messages() { return *messages_; }
    ChangeSignal& UninstallKeysChanged() { return *uninstallKeysChanged_; }
    UninstallerChecks& Checks() { return *uninstallerChecks_; }

    // The handlers the window's events go to; null detaches them.
    void Attach(mainwindow::ZentrelForm* form) { form_ = form; }
    // Runs Form_Load, then shows the window with the focus in the list.
    void Load(int showCommand);
    // Destroys the window, which ends the message loop.
    void Close() { Destroy(); }

  private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint();
    void OnCommand(int id, int code);

    std::optional<Win32ListBox> uninstallList_;
    std::optional<Win32TextBox> uninstallStringText_;
    std::optional<Win32MessageBoxes> messages_;
    std::optional<Win32EventMessage> uninstallKeysChanged_;
    std::optional<Win32UninstallerChecks> uninstallerChecks_;
    mainwindow::ZentrelForm* form_ = nullptr;
};

}  // namespace velmora::platform::win32
