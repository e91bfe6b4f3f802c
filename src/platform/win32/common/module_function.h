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

// A function of a DLL that `load` maps on first need.  A load or lookup that
// finds nothing is made again by the next Get rather than remembered, so that
// a passing failure does not disable the call for the life of the process;
// once found, the function is kept.  For one thread.
template <typename Function>
class OnDemandFunction {
  public:
    using Loader = HMODULE (*)(const wchar_t* module);
    OnDemandFunction(Loader load, const wchar_t* module, const char* name)
        : load_(load), module_(module), name_(name) {}

    Function Get() {
        if (function_ == nullptr) function_ = ModuleFunction<Function>(load_(module_), name_);
        return function_;
    }

  private:
    Loader load_;
    const wchar_t* module_;
    const char* name_;
    Function function_ = nullptr;
};

}  // namespace velmora::platform::win32
