// Loading a DLL from the system folder only, never from the program's or
// the current folder, where anyone may have put a DLL of the same name.
#pragma once

#include <windows.h>

namespace velmora::platform::win32 {

// The module, or null (GetLastError tells why).  Windows 7 without its
// loader update refuses the search flag; there the full path into the
// system folder does the same.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace velmora::platform::win32
