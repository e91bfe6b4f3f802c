// The wide registry calls on top of the in-memory registry: key names come
// as stored; value names and string data, stored there as 8-bit texts, are
// converted with the code page the test chose; every other value's bytes pass
// as they are.
#pragma once

#include "platform/code_page.h"
#include "platform/wide_registry.h"
#include "support/memory/memory_registry.h"

namespace velmora::platform::memory {

class MemoryWideRegistry : public WideRegistry {
  public:
    MemoryWideRegistry(MemoryRegistry& registry, const CodePage& codePage)
        : registry_(registry), codePage_(codePage) {}

    RegStatus RegOpenKeyExW(RegHandle key, const std::wstring& subKey, std::uint32_t samDesired,
                            RegHandle* result) override;
    RegStatus RegEnumValueW(RegHandle key, std::uint32_t index, WideValue* value) override;
    RegStatus RegEnumKeyExW(RegHandle key, std::uint32_t index, std::wstring* name) override;
    RegStatus RegCloseKey(RegHandle key) override { return registry_.RegCloseKey(key); }

  private:
    MemoryRegistry& registry_;
    const CodePage& codePage_;
};

}  // namespace velmora::platform::memory
