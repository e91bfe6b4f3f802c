// The registry interface on advapi32: each call goes straight to the ANSI
// function of the same name and its status comes back untouched.
#pragma once

#include "platform/registry.h"

namespace velmora::platform::win32 {

class Win32Registry : public Registry {
  public:
    RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, std::uint32_t reserved,
                              const char* className, std::uint32_t options,
                              std::uint32_t samDesired,
                              const SecurityAttributes* securityAttributes, RegHandle* result,
                              std::uint32_t* disposition) override;
    RegStatus RegOpenKeyExA(RegHandle key, const char* subKey, std::uint32_t options,
                            std::uint32_t samDesired, RegHandle* result) override;
    RegStatus RegEnumKeyA(RegHandle key, std::uint32_t index, char* name,
                          std::uint32_t nameSize) override;
    RegStatus RegCreateKeyA(RegHandle key, const char* subKey, RegHandle* result) override;
    RegStatus RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* reserved,
                               std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* dataSize) override;
    RegStatus RegDeleteKeyExA(RegHandle key, const char* subKey, std::uint32_t samDesired,
                              std::uint32_t reserved) override;
    RegStatus RegCloseKey(RegHandle key) override;
    RegStatus RegNotifyChangeKeyValue(RegHandle key, bool watchSubtree, std::uint32_t notifyFilter,
                                      EventHandle event, bool asynchronous) override;
};

}  // namespace velmora::platform::win32
