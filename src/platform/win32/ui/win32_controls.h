// The controls the logic writes and reads, on the standard Win32 controls:
// a LISTBOX (LBS_SORT | LBS_NOTIFY), an EDIT, and MessageBoxW.  Failures of
// the control throw std::runtime_error.
#pragma once

#include <windows.h>

#include "platform/controls.h"

namespace velmora::platform::win32 {

class Win32ListBox : public ListBox {
  public:
    explicit Win32ListBox(HWND list) : list_(list) {}

    void Clear() override;
    void AddLine(const std::wstring& text, std::int16_t slot) override;
    int SelectedIndex() const override;
    void SetSelectedIndex(int index) override;
    std::wstring LineText(int index) const override;
    std::int16_t LineSlot(int index) const override;
    // WM_SETREDRAW off and on: a rebuild costs one repaint at its end.
    void BeginUpdate() override;
    void EndUpdate() override;

  private:
    HWND list_;
};

class Win32TextBox : public TextBox {
  public:
    explicit Win32TextBox(HWND edit) : edit_(edit) {}
    void SetText(const std::wstring& text) override;

  private:
    HWND edit_;
};

// MessageBoxW owned by the given window, captioned "Velmora".
class Win32MessageBoxes : public MessageBoxes {
  public:
    explicit Win32MessageBoxes(HWND owner) : owner_(owner) {}
    // Throws when the box cannot be shown: an answer of 0 must never be
    // taken for one the user gave.
    int Show(const std::wstring& text, std::uint32_t style) override;

  private:
    HWND owner_;
};

}  // namespace velmora::platform::win32
