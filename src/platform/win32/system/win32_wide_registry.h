// The wide registry calls on advapi32.  Handles are the same HKEYs the 8-bit
// adapter gives out.
#pragma once

#include "platform/wide_registry.h"

namespace velmora::platform::win32 {

class Win32WideRegistry : public WideRegistry {
  public:
    RegStatus RegOpenKeyExW(RegHandle key, const std::wstring& subKey, std::uint32_t samDesired,
                            RegHandle* result) override;
    RegStatus RegEnumValueW(RegHandle key, std::uint32_t index, WideValue* value) override;
    RegStatus RegEnumKeyExW(RegHandle key, std::uint32_t index, std::wstring* name) override;
    RegStatus RegCloseKey(RegHandle key) override;
};

}  // namespace velmora::platform::win32
