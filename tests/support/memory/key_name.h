// Registry key and value names as 8-bit texts in code page 932: comparison
// folds ASCII letters only, and a Shift_JIS lead byte always travels with the
// byte after it, so a trail byte 0x5C is never a separator and a trail byte in
// the range of the ASCII letters is never folded.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shift_jis.h"

namespace velmora::platform::memory {

using platform::IsShiftJisLeadByte;

// The name in its comparison form: ASCII letters upper-cased (the registry
// orders names by their upper-case form), every other byte as it is.
std::string FoldKeyName(std::string_view name);

// Splits a subkey path at its separators.  An empty path gives no parts and a
// single trailing separator is ignored; a leading separator or an empty part
// in the middle is a malformed path (nullopt).
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

}  // namespace velmora::platform::memory
