// Owner of a raw HKEY, for code that calls advapi32 directly rather than
// through the registry interface.
#pragma once

#include <windows.h>

#include "platform/unique_owner.h"

namespace velmora::platform::win32 {

struct HkeyTraits {
    using Handle = HKEY;
    static constexpr Handle kNone = nullptr;
    bool IsValid(Handle key) const { return key != nullptr; }
    void Close(Handle key) const { static_cast<void>(::RegCloseKey(key)); }
};

using UniqueHkey = UniqueOwner<HkeyTraits>;

}  // namespace velmora::platform::win32
