#include "platform/win32/ui/ui_font.h"

#include "platform/win32/common/win32_error.h"
#include "platform/win32/ui/dpi.h"

namespace velmora::platform::win32 {
namespace {

class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(VELMORA_WIN32_CHECK(::GetDC(window))) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    // A DC of a window class without its own DC is always released.
    ~WindowDc() { static_cast<void>(::ReleaseDC(window_, dc_)); }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

class FontSelection {
  public:
    // For a font (not a region) failure is a null result.
    FontSelection(HDC dc, HFONT font)
        : dc_(dc), previous_(VELMORA_WIN32_CHECK(::SelectObject(dc, font))) {}
    FontSelection(const FontSelection&) = delete;
    FontSelection& operator=(const FontSelection&) = delete;
    // Putting back the object the DC had cannot fail in a way worth reporting
    // from a destructor; the DC is released right after.
    ~FontSelection() { static_cast<void>(::SelectObject(dc_, previous_)); }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace

UniqueHfont CreateUiFont(int centipoints, UINT dpi) {
    return UniqueHfont(VELMORA_WIN32_CHECK(
        ::CreateFontW(FontHeightForDpi(centipoints, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, kUiFontFace)));
}

SIZE MeasureText(HWND window, HFONT font, std::wstring_view text) {
    WindowDc dc(window);
    FontSelection selection(dc.get(), font);
    SIZE size{};
    VELMORA_WIN32_CHECK(
        ::GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size));
    return size;
}

int LineHeight(HWND window, HFONT font) {
    WindowDc dc(window);
    FontSelection selection(dc.get(), font);
    TEXTMETRICW metrics{};
    VELMORA_WIN32_CHECK(::GetTextMetricsW(dc.get(), &metrics));
    return metrics.tmHeight;
}

}  // namespace velmora::platform::win32
