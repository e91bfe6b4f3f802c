// UTF-16LE bytes of a wide text: registry string data and the registry
// files the program writes.  Where wchar_t is 32 bits wide, characters
// beyond the Basic Multilingual Plane become surrogate pairs.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora::platform {

inline void AppendUtf16Le(std::vector<std::uint8_t>& bytes, std::wstring_view text) {
    const auto unit = [&bytes](std::uint32_t u) {
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((u >> 8) & 0xFF));
    };
    for (const wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
}

}  // namespace velmora::platform
