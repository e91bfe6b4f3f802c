#include "support/memory/memory_wide_registry.h"

#include "platform/utf16.h"

namespace velmora::platform::memory {

RegStatus MemoryWideRegistry::RegOpenKeyExW(RegHandle key, const std::wstring& subKey,
                                            std::uint32_t samDesired, RegHandle* result) {
    return registry_.OpenKeyW(key, subKey, samDesired, result);
}

RegStatus MemoryWideRegistry::RegEnumValueW(RegHandle key, std::uint32_t index, WideValue* value) {
    std::string name;
    ValueData data;
    if (const RegStatus status = registry_.EnumValue(key, index, &name, &data);
        status != kErrorSuccess) {
        return status;
    }
    value->name = codePage_.ToWide(name);
    value->type = data.type;
    value->data.clear();
    if (data.type == kRegSz || data.type == kRegExpandSz || data.type == kRegMultiSz) {
        const std::string text(data.bytes.begin(), data.bytes.end());
        AppendUtf16Le(value->data, codePage_.ToWide(text));
    } else {
        value->data = std::move(data.bytes);
    }
    return kErrorSuccess;
}

RegStatus MemoryWideRegistry::RegEnumKeyExW(RegHandle key, std::uint32_t index,
                                            std::wstring* name) {
    return registry_.EnumKeyW(key, index, name);
}

}  // namespace velmora::platform::memory
