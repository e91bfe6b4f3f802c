#include "support/memory/key_name.h"

#include <algorithm>
#include <cstdint>

namespace velmora::platform::memory {
namespace {

bool StartsDoubleByte(unsigned char byte, NameBytes bytes) {
    return bytes == NameBytes::kShiftJis && IsShiftJisLeadByte(byte);
}

unsigned char Upper(unsigned char byte) {
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

}  // namespace

bool SameKeyName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    bool trail = false;  // the byte after a lead byte is never folded
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (trail ? x != y : Upper(x) != Upper(y)) return false;
        trail = !trail && IsShiftJisLeadByte(x);
    }
    return true;
}

std::optional<std::vector<std::string_view>> SplitKeyPath(std::string_view path, NameBytes bytes) {
    std::vector<std::string_view> parts;
    parts.reserve(static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')) + 1);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        const bool end = i == path.size();
        if (!end && StartsDoubleByte(static_cast<unsigned char>(path[i]), bytes)) {
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

std::string ToUtf8(std::wstring_view text) {
    std::string utf8;
    utf8.reserve(text.size() * 4);
    for (const wchar_t character : text) {
        const auto point = static_cast<std::uint32_t>(character);
        if (point < 0x80) {
            utf8 += static_cast<char>(point);
        } else if (point < 0x800) {
            utf8 += static_cast<char>(0xC0 | (point >> 6));
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (point >> 12));
            utf8 += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (point >> 18));
            utf8 += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return utf8;
}

// Only ever given what ToUtf8 made.
std::wstring FromUtf8(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int more = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        std::uint32_t point = more == 0 ? lead : lead & (0x3F >> more);
        for (int k = 1; k <= more && i + k < text.size(); ++k)
            point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        wide += static_cast<wchar_t>(point);
        i += static_cast<std::size_t>(more) + 1;
    }
    return wide;
}

}  // namespace velmora::platform::memory
