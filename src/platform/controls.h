// The main window's controls and message boxes, as the logic uses them.
// Implementations may throw std::runtime_error when the control fails.
#pragma once

#include <cstdint>
#include <string>

namespace velmora::platform {

// A sorted, single-selection list box whose lines carry the table slot they
// were listed from.
class ListBox {
  public:
    virtual ~ListBox() = default;
    virtual void Clear() = 0;
    // Adds a line; the list places it in its own sorted order.
    virtual void AddLine(const std::wstring& text, std::int16_t slot) = 0;
    // -1 when no line is selected.
    virtual int SelectedIndex() const = 0;
    // Selects a line, as the user would, but without telling the window.
    virtual void SetSelectedIndex(int index) = 0;
    virtual std::wstring LineText(int index) const = 0;
    virtual std::int16_t LineSlot(int index) const = 0;
    // Draws the line listed from slot as stale, with note after its text;
    // the text itself stays as it is.  An empty note draws it as any other
    // line.  Clear forgets every note.
    virtual void NoteLine(std::int16_t slot, const std::wstring& note) = 0;
    // Suspends and resumes the list's redrawing while it is rebuilt.
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
};

class TextBox {
  public:
    virtual ~TextBox() = default;
    virtual void SetText(const std::wstring& text) = 0;
};

// Message box styles and answers, with their Win32 values.
inline constexpr std::uint32_t kMbOk = 0;
inline constexpr std::uint32_t kMbYesNo = 4;
inline constexpr std::uint32_t kMbIconExclamation = 48;
inline constexpr std::uint32_t kMbYesNoExclamation = kMbYesNo | kMbIconExclamation;  // 52
inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Message boxes captioned with the application title.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Shows text with the given style; returns the button pressed.
    virtual int Show(const std::wstring& text, std::uint32_t style) = 0;
};

}  // namespace velmora::platform
