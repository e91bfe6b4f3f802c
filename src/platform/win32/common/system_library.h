// DLLs the program maps only when it needs them (the shell, COM, OLE
// automation, the Installer, accessibility), from the system folder only,
// and COM on the thread that calls into them.
#pragma once

#include <windows.h>
// objbase.h needs windows.h first.
#include <objbase.h>

namespace velmora::platform::win32 {

// Maps a DLL from the system folder only, never from the program's or the
// current folder, where anyone may have put a DLL of the same name; null when
// that fails (GetLastError tells why).  Once mapped it stays for the life of
// the process, since the shell may still run its own code on threads it
// started for a request.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Initialises COM as a single-threaded apartment on the calling thread the
// first time it is asked on that thread, and leaves it so for the thread's
// life: the shell may finish a request after the call returns.  A thread
// already initialised otherwise keeps that.  False when COM is not usable.
bool EnsureComOnThisThread(decltype(&::CoInitializeEx) coInitialize);

}  // namespace velmora::platform::win32
