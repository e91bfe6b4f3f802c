#include <array>
#include <string_view>

#include "catalogue/shared_module.h"
#include "catalogue/trim.h"
#include "platform/registry_key.h"

namespace velmora::SharedModule {

std::wstring GetRegValueText(platform::Registry& registry, const platform::CodePage& codePage,
                             platform::RegHandle key, const std::wstring& subKeyName,
                             const std::wstring& valueName, std::uint32_t& size,
                             std::uint32_t view) {
    // One byte more than the query may fill, so the text always ends in NUL.
    std::array<std::uint8_t, 257> buffer{};
    std::uint32_t type = platform::kRegSz;
    // Never let a larger size word promise the query more room than there is.
    if (size > buffer.size() - 1) size = static_cast<std::uint32_t>(buffer.size() - 1);

    platform::RegHandle opened = 0;
    if (registry.RegOpenKeyExA(key, codePage.ToNarrow(subKeyName).c_str(), 0,
                               platform::kKeyQueryValue | view,
                               &opened) != platform::kErrorSuccess) {
        return {};
    }
    platform::RegistryKey subKey(registry, opened);
    if (registry.RegQueryValueExA(opened, codePage.ToNarrow(valueName).c_str(), nullptr, &type,
                                  buffer.data(), &size) != platform::kErrorSuccess) {
        return {};
    }
    subKey.reset();

    // The type is deliberately not examined: whatever was stored is read as
    // text up to its first NUL.
    const std::wstring text = codePage.ToWide(
        std::string_view(reinterpret_cast<const char*>(buffer.data()), buffer.size()));
    return catalogue::Trim(std::wstring_view(text).substr(0, text.find(L'\0')));
}

}  // namespace velmora::SharedModule
