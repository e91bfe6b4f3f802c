// A function looked up in a loaded module at run time: for calls newer than
// the Windows version the program is built for, and for DLLs the program
// loads only when it needs them.  Null where the module or the function is
// missing.
#pragma once

#include <windows.h>

namespace velmora::platform::win32 {

template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
    if (module == nullptr) return nullptr;
    // Through void(*)(), the one function type any other converts to cleanly.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace velmora::platform::win32
