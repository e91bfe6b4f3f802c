#include "platform/win32/ui/message_window.h"

#include <exception>

#include "platform/win32/common/win32_error.h"
#include "platform/win32/ui/unexpected_error.h"
#include "platform/win32/ui/win32_geometry.h"

namespace velmora::platform::win32 {
namespace {

void RegisterOnce(HINSTANCE instance, const WindowClassInfo& info, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    if (::GetClassInfoExW(instance, info.name, &windowClass)) return;
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = info.icon;
    windowClass.hIconSm = info.smallIcon;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = info.name;
    VELMORA_WIN32_CHECK_THAT(::RegisterClassExW(&windowClass), [](ATOM atom) {
        return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    });
}

}  // namespace

MessageWindow::~MessageWindow() {
    if (hwnd_ != nullptr) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        // A destructor cannot report a failure; the window's thread ending
        // takes the window along in any case.
        static_cast<void>(::DestroyWindow(hwnd_));
    }
}

void MessageWindow::CreateHandle(HINSTANCE instance, const WindowClassInfo& windowClass,
                                 const FrameInfo& frame) {
    RegisterOnce(instance, windowClass, &MessageWindow::Procedure);
    // An owned window starts on its owner's monitor, so that it has that
    // monitor's dpi from the start and is laid out and centred at it.  A
    // window without an owner goes where the system puts a new one.
    POINT at{CW_USEDEFAULT, CW_USEDEFAULT};
    if (frame.owner != nullptr) at = MonitorOrigin(frame.owner);
    // hwnd_ is set by the thunk at WM_NCCREATE.
    VELMORA_WIN32_CHECK(::CreateWindowExW(frame.exStyle, windowClass.name, frame.caption,
                                          frame.style, at.x, at.y, 0, 0, frame.owner, nullptr,
                                          instance, this));
}

void MessageWindow::DestroyHandle() {
    if (hwnd_ != nullptr) VELMORA_WIN32_CHECK(::DestroyWindow(hwnd_));
}

LRESULT CALLBACK MessageWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self =
            static_cast<MessageWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MessageWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        ReportUnexpectedError(window, error.what());
    } catch (...) {
        ReportUnexpectedError(window, nullptr);
    }
    return 0;
}

}  // namespace velmora::platform::win32
