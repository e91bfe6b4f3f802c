#include "platform/win32/ui/form_controls.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "platform/win32/common/win32_error.h"
#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/ui_font.h"

namespace velmora::platform::win32 {

void FormControls::Create(HWND parent, HINSTANCE instance, std::span<const ControlLayout> layouts) {
    controls_.clear();
    controls_.reserve(layouts.size());
    for (const ControlLayout& layout : layouts) {
        const HWND handle = VELMORA_WIN32_CHECK(::CreateWindowExW(
            0, layout.windowClass, layout.text, WS_CHILD | WS_VISIBLE | layout.style, 0, 0, 0, 0,
            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance, nullptr));
        controls_.push_back(Control{&layout, handle});
    }
}

void FormControls::Layout(UINT dpi) {
    UniqueHfont formFont = CreateUiFont(kFormFontCentipoints, dpi);
    UniqueHfont largeFont = CreateUiFont(kLargeFontCentipoints, dpi);
    std::swap(formFont_, formFont);
    std::swap(largeFont_, largeFont);
    for (const Control& control : controls_) {
        const ControlLayout& layout = *control.layout;
        const HFONT font = FontFor(layout.font);
        if (font != nullptr) {
            ::SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            // A list that draws its own lines keeps the height it had when it
            // was made; a plain one takes its font's line height.
            if (std::wstring_view(layout.windowClass) == L"LISTBOX" &&
                (layout.style & LBS_OWNERDRAWFIXED) != 0) {
                const int height = LineHeight(control.handle, font);
                if (::SendMessageW(control.handle, LB_SETITEMHEIGHT, 0, height) == LB_ERR) {
                    throw std::runtime_error("list box: LB_SETITEMHEIGHT failed");
                }
            }
        }
        int width = TwipsToPixels(layout.width, dpi);
        int height = TwipsToPixels(layout.height, dpi);
        if (layout.fit != TextFit::kNone && font != nullptr) {
            const SIZE text = MeasureText(control.handle, font, layout.text);
            const bool exact = layout.fit == TextFit::kExact;
            width = exact ? text.cx : std::max<int>(width, text.cx);
            height = exact ? text.cy : std::max<int>(height, text.cy);
        }
        VELMORA_WIN32_CHECK(::SetWindowPos(control.handle, nullptr, TwipsToPixels(layout.left, dpi),
                                           TwipsToPixels(layout.top, dpi), width, height,
                                           SWP_NOZORDER | SWP_NOACTIVATE));
        // Fails only for a window that is gone, which SetWindowPos has just
        // shown this one is not.
        static_cast<void>(::InvalidateRect(control.handle, nullptr, TRUE));
    }
    // The fonts swapped out above are released here, after no control
    // uses them any more.
}

void FormControls::Clear() {
    controls_.clear();
    formFont_.reset();
    largeFont_.reset();
}

HWND FormControls::Get(int id) const {
    const auto found =
        std::find_if(controls_.begin(), controls_.end(),
                     [id](const Control& control) { return control.layout->id == id; });
    return found != controls_.end() ? found->handle : nullptr;
}

HFONT FormControls::FontFor(ControlFont font) const {
    switch (font) {
        case ControlFont::kForm:
            return formFont_.get();
        case ControlFont::kLarge:
            return largeFont_.get();
        case ControlFont::kSystem:
            return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        case ControlFont::kNone:
            break;
    }
    return nullptr;
}

}  // namespace velmora::platform::win32
