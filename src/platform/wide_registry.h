// Read-only access to the registry through the wide (UTF-16) calls, so that
// names and string data arrive exactly as stored, whatever the code page.
// Handles are those of the 8-bit registry interface: a key opened there can
// be the parent here.  Nothing here creates or changes a key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace velmora::platform {

struct WideValue {
    std::wstring name;  // empty for the key's default value
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;  // the stored bytes, UTF-16LE for the string types
    bool operator==(const WideValue&) const = default;
};

class WideRegistry {
  public:
    virtual ~WideRegistry() = default;

    // RegOpenKeyExW: opens subKey of key; never creates anything.
    virtual RegStatus RegOpenKeyExW(RegHandle key, const std::wstring& subKey,
                                    std::uint32_t samDesired, RegHandle* result) = 0;
    // RegEnumValueW for value number index, with buffers as large as it needs.
    virtual RegStatus RegEnumValueW(RegHandle key, std::uint32_t index, WideValue* value) = 0;
    // RegEnumKeyExW: the name of subkey number index.
    virtual RegStatus RegEnumKeyExW(RegHandle key, std::uint32_t index, std::wstring* name) = 0;
    virtual RegStatus RegCloseKey(RegHandle key) = 0;
};

}  // namespace velmora::platform
