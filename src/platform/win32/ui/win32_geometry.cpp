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

RECT MonitorRectOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    VELMORA_WIN32_CHECK(::GetMonitorInfoW(monitor, &info));
    return info.rcMonitor;
}

}  // namespace

RECT Win32Screen::MonitorRect() const {
    // The primary monitor is the one whose top-left corner is the desktop's
    // origin.
    return MonitorRectOf(anchor_ != nullptr
                             ? ::MonitorFromWindow(anchor_, MONITOR_DEFAULTTONEAREST)
                             : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

float Win32Screen::LeftTwips(unsigned dpi) const { return PixelsToTwips(MonitorRect().left, dpi); }

float Win32Screen::TopTwips(unsigned dpi) const { return PixelsToTwips(MonitorRect().top, dpi); }

float Win32Screen::WidthTwips(unsigned dpi) const {
    const RECT rect = MonitorRect();
    return PixelsToTwips(rect.right - rect.left, dpi);
}

float Win32Screen::HeightTwips(unsigned dpi) const {
    const RECT rect = MonitorRect();
    return PixelsToTwips(rect.bottom - rect.top, dpi);
}

POINT MonitorOrigin(HWND window) {
    const RECT rect = MonitorRectOf(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
    return POINT{rect.left, rect.top};
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
