#include "platform/win32/ui/list_line_drawing.h"

#include "platform/win32/ui/dpi.h"

namespace velmora::platform::win32 {
namespace {

// The DC belongs to the list, which goes on using it: every change to it is
// undone.  A drawing call that fails leaves a line wrongly drawn until its
// next repaint, and nothing better can be done from inside a repaint, so
// their results are not looked at.
class DcState {
  public:
    DcState(HDC dc, HFONT font, COLORREF text, COLORREF background)
        : dc_(dc),
          font_(font != nullptr ? ::SelectObject(dc, font) : nullptr),
          text_(::SetTextColor(dc, text)),
          background_(::SetBkColor(dc, background)) {}
    DcState(const DcState&) = delete;
    DcState& operator=(const DcState&) = delete;
    ~DcState() {
        static_cast<void>(::SetBkColor(dc_, background_));
        static_cast<void>(::SetTextColor(dc_, text_));
        if (font_ != nullptr) static_cast<void>(::SelectObject(dc_, font_));
    }

  private:
    HDC dc_;
    HGDIOBJ font_;
    COLORREF text_;
    COLORREF background_;
};

}  // namespace

void DrawListLine(const DRAWITEMSTRUCT& item, HFONT font, std::wstring_view text,
                  std::wstring_view note, UINT dpi) {
    RECT box = item.rcItem;
    const bool focused =
        (item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0;
    // An empty list with the focus draws its focus rectangle only.
    if (item.itemID == static_cast<UINT>(-1)) {
        if (focused) static_cast<void>(::DrawFocusRect(item.hDC, &box));
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const int textColour =
        selected ? COLOR_HIGHLIGHTTEXT : (note.empty() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    const DcState state(item.hDC, font, ::GetSysColor(textColour),
                        ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    // One pixel at 96 dpi before the text, as a plain list leaves.
    const int left = box.left + TwipsToPixels(15, dpi);
    static_cast<void>(::ExtTextOutW(item.hDC, left, box.top, ETO_OPAQUE | ETO_CLIPPED, &box,
                                    text.data(), static_cast<UINT>(text.size()), nullptr));
    if (!note.empty()) {
        SIZE drawn{};
        if (::GetTextExtentPoint32W(item.hDC, text.data(), static_cast<int>(text.size()), &drawn)) {
            static_cast<void>(::ExtTextOutW(item.hDC, left + drawn.cx, box.top, ETO_CLIPPED, &box,
                                            note.data(), static_cast<UINT>(note.size()), nullptr));
        }
    }
    if (focused) static_cast<void>(::DrawFocusRect(item.hDC, &box));
}

}  // namespace velmora::platform::win32
