// Owners for the Win32 handles the driver opens.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace velmora::e2e {

template <auto Close>
struct Closer {
    void operator()(auto handle) const { Close(handle); }
};
template <typename Handle, auto Close>
using Unique = std::unique_ptr<std::remove_pointer_t<Handle>, Closer<Close>>;

inline void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }
// Ends the process first if it still runs.
inline void EndAndClose(HANDLE process) {
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
}

// A process handle that ends the process too (the program under test), and
// a plain one that only closes the handle.
using UniqueProcess = Unique<HANDLE, EndAndClose>;
using UniqueHandle = Unique<HANDLE, CloseHandle>;
using UniqueHkey = Unique<HKEY, RegCloseKey>;
using UniqueFont = Unique<HFONT, DeleteObject>;
using UniqueBitmap = Unique<HBITMAP, DeleteObject>;
using UniqueMemoryDc = Unique<HDC, DeleteDC>;
using ScreenDc = Unique<HDC, ReleaseScreenDc>;

// Selects a GDI object into a device context and puts the previous one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace velmora::e2e
