#include "support/memory/key_name.h"

#include <algorithm>

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

}  // namespace velmora::platform::memory
