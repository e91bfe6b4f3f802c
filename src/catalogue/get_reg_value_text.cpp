#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/shared_module.h"
#include "catalogue/trim.h"
#include "platform/registry_key.h"

namespace velmora::SharedModule {
namespace {

// The longest command line CreateProcessW takes, its NUL included: a longer
// value could never be started, and is not read.
constexpr std::uint32_t kLongestValue = 32767;
// A value that is still too large after this many further reads has kept
// changing size while it was read, and reads as empty.
constexpr int kLargerReads = 2;

// The text of a buffer that holds at least one NUL: everything before the
// first one, trimmed.  The buffer is converted whole and cut afterwards, so
// that the code page decides what a lead byte right before the NUL becomes.
std::wstring TextBeforeNul(const platform::CodePage& codePage, const std::uint8_t* data,
                           std::size_t size) {
    const std::wstring text =
        codePage.ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    return catalogue::Trim(std::wstring_view(text).substr(0, text.find(L'\0')));
}

}  // namespace

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
    const std::string name = codePage.ToNarrow(valueName);
    platform::RegStatus status =
        registry.RegQueryValueExA(opened, name.c_str(), nullptr, &type, buffer.data(), &size);
    if (status == platform::kErrorSuccess) {
        subKey.reset();
        // The type is deliberately not examined: whatever was stored is read
        // as text up to its first NUL.
        return TextBeforeNul(codePage, buffer.data(), buffer.size());
    }

    // Too large for the first buffer: read again into one of the size the
    // query reported, with a zero byte after it.  A value that grew in
    // between reports its new size and is read once more.  An 8-bit query
    // may report the size of the text as stored, more than its 8-bit form
    // needs, so a larger report still gets the longest room, and the query
    // itself says whether the text fits.
    std::vector<std::uint8_t> larger;
    for (int read = 0; read < kLargerReads && status == platform::kErrorMoreData; ++read) {
        const std::uint32_t room = std::min(size, kLongestValue);
        larger.assign(std::size_t{room} + 1, 0);
        size = room;
        status =
            registry.RegQueryValueExA(opened, name.c_str(), nullptr, &type, larger.data(), &size);
        if (room == kLongestValue && status == platform::kErrorMoreData) return {};
    }
    if (status != platform::kErrorSuccess) return {};
    subKey.reset();
    return TextBeforeNul(codePage, larger.data(), larger.size());
}

}  // namespace velmora::SharedModule
