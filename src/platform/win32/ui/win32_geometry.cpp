#include "platform/win32/ui/win32_geometry.h"

#include "platform/win32/common/win32_error.h"
#include "platform/win32/ui/dpi.h"

namespace velmora::platform::win32 {
namespace {

RECT OuterRect(HWND window) {
    RECT rect{};
    VELMORA_WIN32_CHECK(::GetWindowRect(window, &rect));
    return rect;
}

}  // namespace

float Win32Screen::WidthTwips(unsigned dpi) const {
    return PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), dpi);
}

float Win32Screen::HeightTwips(unsigned dpi) const {
    return PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), dpi);
}

float OuterWidthTwips(HWND window) {
    const RECT rect = OuterRect(window);
    return PixelsToTwips(rect.right - rect.left, WindowDpi(window));
}

float OuterHeightTwips(HWND window) {
    const RECT rect = OuterRect(window);
    return PixelsToTwips(rect.bottom - rect.top, WindowDpi(window));
}

void MoveOuterTwips(HWND window, float left, float top) {
    const UINT dpi = WindowDpi(window);
    VELMORA_WIN32_CHECK(::SetWindowPos(window, nullptr, TwipsToPixels(left, dpi),
                                       TwipsToPixels(top, dpi), 0, 0,
                                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
}

}  // namespace velmora::platform::win32
