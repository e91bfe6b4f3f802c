#include "platform/win32/ui/dpi.h"

#include <cmath>

#include "platform/win32/common/module_function.h"
#include "platform/win32/common/win32_error.h"

namespace velmora::platform::win32 {
namespace {

// user32 functions newer than the Windows version the program is built for:
// looked up at run time, null where the system lacks them.
template <typename Function>
Function FindUser32Function(const char* name) {
    return ModuleFunction<Function>(::GetModuleHandleW(L"user32.dll"), name);
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using SetProcessDpiAwarenessContextFunction = BOOL(WINAPI*)(HANDLE);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));

UINT ScreenDcDpi() {
    const HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return kDefaultDpi;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    // The screen DC is always released; a failure would change nothing here.
    static_cast<void>(::ReleaseDC(nullptr, screen));
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

int TwipsToPixels(int twips, UINT dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

int TwipsToPixels(float twips, UINT dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

float PixelsToTwips(int pixels, UINT dpi) {
    return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpi);
}

int FontHeightForDpi(int centipoints, UINT dpi) {
    return -static_cast<int>(std::lround(static_cast<double>(centipoints) * dpi / 7200.0));
}

UINT WindowDpi(HWND window) {
    static const auto getDpiForWindow =
        FindUser32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    return ScreenDcDpi();
}

void DeclareDpiAwareness() {
    // Both calls fail harmlessly when the manifest has already set the
    // awareness, which is the usual case: there is nothing to check.
    if (const auto setContext = FindUser32Function<SetProcessDpiAwarenessContextFunction>(
            "SetProcessDpiAwarenessContext")) {
        static_cast<void>(setContext(kPerMonitorAwareV2));
        return;
    }
    static_cast<void>(::SetProcessDPIAware());
}

SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto adjustForDpi =
        FindUser32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, clientWidth, clientHeight};
    if (adjustForDpi != nullptr) {
        VELMORA_WIN32_CHECK(adjustForDpi(&rect, style, FALSE, exStyle, dpi));
    } else {
        VELMORA_WIN32_CHECK(::AdjustWindowRectEx(&rect, style, FALSE, exStyle));
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void SizeClientInTwips(HWND window, int clientWidth, int clientHeight, DWORD style, DWORD exStyle,
                       UINT dpi) {
    const SIZE outer = OuterSizeForClient(TwipsToPixels(clientWidth, dpi),
                                          TwipsToPixels(clientHeight, dpi), style, exStyle, dpi);
    VELMORA_WIN32_CHECK(::SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy,
                                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
}

}  // namespace velmora::platform::win32
