// Owner of a COM interface pointer: released once, whichever way it goes.
#pragma once

#include <windows.h>

#include "platform/unique_owner.h"

namespace velmora::platform::win32 {

template <typename Interface>
struct ComTraits {
    using Handle = Interface*;
    static constexpr Handle kNone = nullptr;
    bool IsValid(Handle pointer) const { return pointer != nullptr; }
    // Release answers the count left, not a status.
    void Close(Handle pointer) const { pointer->Release(); }
};

template <typename Interface>
using UniqueCom = UniqueOwner<ComTraits<Interface>>;

}  // namespace velmora::platform::win32
