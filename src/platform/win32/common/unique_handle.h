// Owner of a kernel object HANDLE (process, thread, file, event).  Both null
// and INVALID_HANDLE_VALUE mean "none", as the opening calls use one or the
// other for failure.
#pragma once

#include <windows.h>

#include "platform/unique_owner.h"

namespace velmora::platform::win32 {

struct KernelHandleTraits {
    using Handle = HANDLE;
    static constexpr Handle kNone = nullptr;
    bool IsValid(Handle handle) const {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
    void Close(Handle handle) const { static_cast<void>(::CloseHandle(handle)); }
};

using UniqueHandle = UniqueOwner<KernelHandleTraits>;

}  // namespace velmora::platform::win32
