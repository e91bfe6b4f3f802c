// A window's child controls described as data, in twips, and laid out with
// the real dpi: created once in tab order, placed and given fonts again at
// every dpi the window is shown at.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "platform/win32/common/unique_gdi_handles.h"

namespace velmora::platform::win32 {

enum class ControlFont {
    kNone,    // a picture: no text
    kForm,    // "ＭＳ ゴシック" 9.75 points
    kLarge,   // "ＭＳ ゴシック" 12 points
    kSystem,  // the stock GUI font, for a control whose font never shows
};

// How a label's size follows its text, measured on one line in its font.
enum class TextFit {
    kNone,     // the size given
    kExact,    // the text's size; the size given is what it measures on Windows
    kAtLeast,  // the size given, grown where the text is larger in the font
               // actually selected, so that no glyph is cut off
};

struct ControlLayout {
    int id;
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD style;  // WS_CHILD | WS_VISIBLE are added
    // Twips, relative to the top-left corner of the parent's client area.
    int left;
    int top;
    int width;
    int height;
    ControlFont font;
    TextFit fit = TextFit::kNone;
};

class FormControls {
  public:
    FormControls() = default;
    FormControls(const FormControls&) = delete;
    FormControls& operator=(const FormControls&) = delete;

    // Creates one child per layout in the order given, which is the z-order
    // and so the tab order.  Throws when a control cannot be created.
    void Create(HWND parent, HINSTANCE instance, std::span<const ControlLayout> layouts);
    // Creates the fonts for dpi, hands them to the controls, then places and
    // sizes every control.  The previous fonts are released afterwards.
    void Layout(UINT dpi);
    // Forgets the controls once their parent has been destroyed; the fonts
    // are released too.
    void Clear();

    // The control created with id, or null.
    HWND Get(int id) const;

  private:
    struct Control {
        const ControlLayout* layout;
        HWND handle;
    };
    HFONT FontFor(ControlFont font) const;

    std::vector<Control> controls_;
    UniqueHfont formFont_;
    UniqueHfont largeFont_;
};

}  // namespace velmora::platform::win32
