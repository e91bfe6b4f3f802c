#include "platform/win32/ui/ui_font.h"

#include "platform/win32/common/win32_error.h"
#include "platform/win32/ui/dpi.h"

namespace velmora::platform::win32 {
namespace {

class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {
        if (dc_ == nullptr) ThrowLastError("GetDC");
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { ::ReleaseDC(window_, dc_); }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

class FontSelection {
  public:
    FontSelection(HDC dc, HFONT font) : dc_(dc), previous_(::SelectObject(dc, font)) {
        if (previous_ == nullptr || previous_ == HGDI_ERROR) ThrowLastError("SelectObject");
    }
    FontSelection(const FontSelection&) = delete;
    FontSelection& operator=(const FontSelection&) = delete;
    ~FontSelection() { ::SelectObject(dc_, previous_); }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace

UniqueHfont CreateUiFont(int centipoints, UINT dpi) {
    UniqueHfont font(::CreateFontW(FontHeightForDpi(centipoints, dpi), 0, 0, 0, FW_NORMAL, FALSE,
                                   FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, kUiFontFace));
    if (!font) ThrowLastError("CreateFontW");
    return font;
}

SIZE MeasureText(HWND window, HFONT font, std::wstring_view text) {
    WindowDc dc(window);
    FontSelection selection(dc.get(), font);
    SIZE size{};
    if (!::GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size)) {
        ThrowLastError("GetTextExtentPoint32W");
    }
    return size;
}

}  // namespace velmora::platform::win32
