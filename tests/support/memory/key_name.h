// Registry key and value names as 8-bit texts: comparison folds ASCII letters
// only.  In code page 932 (Shift_JIS) a lead byte always travels with the byte
// after it, so a trail byte 0x5C is never a separator and a trail byte in the
// range of the ASCII letters is never folded.  In UTF-8, the in-memory
// registry's own form of names, no byte of a longer character is ASCII.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/shift_jis.h"

namespace velmora::platform::memory {

using platform::IsShiftJisLeadByte;

// How the bytes of a name form its characters.
enum class NameBytes { kShiftJis, kUtf8 };

// Whether two names are the same to the registry: ASCII letters compare
// without case, every other byte as it is.
bool SameKeyName(std::string_view a, std::string_view b);

// Splits a subkey path at its separators; the parts are views into path.  An
// empty path gives no parts and a single trailing separator is ignored; a
// leading separator or an empty part in the middle is a malformed path
// (nullopt).
std::optional<std::vector<std::string_view>> SplitKeyPath(std::string_view path,
                                                          NameBytes bytes = NameBytes::kShiftJis);

}  // namespace velmora::platform::memory
