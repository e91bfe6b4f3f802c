// A change signal on a Win32 event: a wait of the system's thread pool
// watches the event and, once it is set, posts a message to the window.  The
// window passes the message's wParam to Take; it runs its handler only for
// the latest Listen, so that a setting from before a Listen or a Stop (the
// program's own deletion, a key closed by the watch) is never acted on.
//
// Nothing polls: the pool thread sleeps in the kernel until the event is set,
// and the message is handled by whichever message loop runs, the main one or
// that of a message box or the version dialog, as a repaint would be.
#pragma once

#include <windows.h>

#include <atomic>

#include "platform/change_signal.h"
#include "platform/win32/common/unique_handle.h"

namespace velmora::platform::win32 {

class Win32EventMessage : public ChangeSignal {
  public:
    Win32EventMessage(HWND window, UINT message) : window_(window), message_(message) {}
    ~Win32EventMessage() override { Stop(); }
    Win32EventMessage(const Win32EventMessage&) = delete;
    Win32EventMessage& operator=(const Win32EventMessage&) = delete;

    // A new event with a wait on it; 0 when either cannot be made.
    EventHandle Listen() override;
    // Ends the wait (after its callback, if one is running) and drops the event.
    void Stop() override;
    // True, once, for the message of the event handed out by the latest Listen.
    bool Take(WPARAM generation);

  private:
    static void CALLBACK OnSet(void* context, BOOLEAN timedOut);

    HWND window_;
    UINT message_;
    UniqueHandle event_;
    HANDLE wait_ = nullptr;
    bool listening_ = false;
    // Read by the pool thread that posts the message.
    std::atomic<WPARAM> generation_{0};
};

}  // namespace velmora::platform::win32
