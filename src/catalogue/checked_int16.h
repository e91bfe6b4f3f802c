// Counts and slot indexes are 16-bit signed; their arithmetic never wraps.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>

namespace velmora::catalogue {

inline std::int16_t CheckedInt16(int value) {
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        throw std::overflow_error("16-bit count out of range");
    }
    return static_cast<std::int16_t>(value);
}

inline std::int16_t CheckedAdd(std::int16_t a, std::int16_t b) { return CheckedInt16(a + b); }
inline std::int16_t CheckedSub(std::int16_t a, std::int16_t b) { return CheckedInt16(a - b); }

}  // namespace velmora::catalogue
