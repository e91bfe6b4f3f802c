// The controls the logic writes and reads, on the standard Win32 controls:
// a LISTBOX (LBS_SORT | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, so
// that it keeps and sorts its strings itself while its window draws the
// lines), an EDIT, and MessageBoxW.  Failures of the control throw
// std::runtime_error.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>

#include "platform/controls.h"
#include "platform/win32/ui/accessible_descriptions.h"

namespace velmora::platform::win32 {

class Win32ListBox : public ListBox {
  public:
    explicit Win32ListBox(HWND list) : list_(list), descriptions_(list) {}

    void Clear() override;
    void AddLine(const std::wstring& text, std::int16_t slot) override;
    int SelectedIndex() const override;
    void SetSelectedIndex(int index) override;
    std::wstring LineText(int index) const override;
    std::int16_t LineSlot(int index) const override;
    // Redraws that line alone, and gives it the note as its accessible
    // description.
    void NoteLine(std::int16_t slot, const std::wstring& note) override;
    // WM_SETREDRAW off and on: a rebuild costs one repaint at its end.
    void BeginUpdate() override;
    void EndUpdate() override;

    // Draws a line as its parent's WM_DRAWITEM asks: its text as listed, and
    // its note, if it has one.
    void DrawLine(const DRAWITEMSTRUCT& item) const;

  private:
    // The line listed from slot, or -1.
    int LineOfSlot(std::int16_t slot);

    HWND list_;
    std::map<std::int16_t, std::wstring> notes_;        // by slot
    std::unordered_map<std::int16_t, int> lineOfSlot_;  // made on first need
    bool linesKnown_ = false;
    AccessibleDescriptions descriptions_;
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
