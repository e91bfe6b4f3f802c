// The lead bytes of code page 932 (Shift_JIS): a lead byte always travels
// with the byte after it, and that trail byte may be 0x5C, the byte of '\'.
// Whatever splits or folds 8-bit names of that code page needs them.
#pragma once

namespace velmora::platform {

inline constexpr bool IsShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace velmora::platform
