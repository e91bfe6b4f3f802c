#pragma once

#include <string>
#include <string_view>

namespace velmora::catalogue {

// Without leading and trailing U+0020 only; tabs and full-width spaces stay.
inline std::wstring_view TrimmedView(std::wstring_view text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

inline std::wstring Trim(std::wstring_view text) { return std::wstring(TrimmedView(text)); }

}  // namespace velmora::catalogue
