// Byte rules of code page 932 (Shift_JIS) that registry names depend on: a
// lead byte always travels with the byte after it, and that trail byte may be
// 0x5C, the byte of '\'.
#pragma once

#include <cstddef>
#include <string_view>

namespace velmora::platform {

inline constexpr bool IsShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Whether the name holds a '\' of its own, one outside a double-byte
// character.  A real key name never does; an enumerated name that does was
// mapped from a character the code page lacks (U+00A5 becomes '\').
inline bool HasOwnBackslash(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsShiftJisLeadByte(static_cast<unsigned char>(name[i]))) {
            ++i;  // its trail byte
        } else if (name[i] == '\\') {
            return true;
        }
    }
    return false;
}

}  // namespace velmora::platform
