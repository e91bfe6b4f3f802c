// Owner of a raw HKEY, for code that calls advapi32 directly rather than
// through the registry interface.
#pragma once

#include <windows.h>

#include "platform/unique_owner.h"

namespace velmora::platform::win32 {

using UniqueHkey = UniqueOwner<NullHandleTraits<HKEY, &::RegCloseKey>>;

}  // namespace velmora::platform::win32
