#include "support/memory/key_name.h"

#include <algorithm>
#include <cstdint>

namespace velmora::platform::memory {

std::string FoldKeyName(std::string_view name) {
    std::string folded(name);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (IsShiftJisLeadByte(byte)) {
            ++i;  // the trail byte stays exactly as it is
        } else if (byte >= 'a' && byte <= 'z') {
            folded[i] = static_cast<char>(byte - 'a' + 'A');
        }
    }
    return folded;
}

std::string SubkeyOrderKey(std::string_view name, const CodePage& codePage) {
    std::string folded = FoldKeyName(name);
    const bool ascii = std::all_of(folded.begin(), folded.end(), [](char byte) {
        return static_cast<unsigned char>(byte) < 0x80;
    });
    if (ascii) return folded;  // the same in code page 932 and in UTF-8
    std::string key;
    for (const wchar_t character : codePage.ToWide(folded)) {
        const auto point = static_cast<std::uint32_t>(character);
        if (point < 0x80) {
            key += static_cast<char>(point);
        } else if (point < 0x800) {
            key += static_cast<char>(0xC0 | (point >> 6));
            key += static_cast<char>(0x80 | (point & 0x3F));
        } else {  // code page 932 has nothing beyond the BMP
            key += static_cast<char>(0xE0 | (point >> 12));
            key += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            key += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    key += '\0';
    return key + folded;
}

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        const bool end = i == path.size();
        if (!end && IsShiftJisLeadByte(static_cast<unsigned char>(path[i]))) {
            if (i + 1 < path.size()) ++i;
            continue;
        }
        if (end || path[i] == '\\') {
            const std::string_view part = path.substr(start, i - start);
            if (part.empty()) {
                const bool trailing = end || i + 1 == path.size();
                if (start == 0 && !end) return std::nullopt;  // leading separator
                if (!trailing) return std::nullopt;           // "a\\\\b"
            } else {
                parts.emplace_back(part);
            }
            start = i + 1;
        }
    }
    return parts;
}

}  // namespace velmora::platform::memory
