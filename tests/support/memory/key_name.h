// Registry key and value names as 8-bit texts in code page 932: comparison
// folds ASCII letters only, and a Shift_JIS lead byte always travels with the
// byte after it, so a trail byte 0x5C is never a separator and a trail byte in
// the range of the ASCII letters is never folded.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/shift_jis.h"

namespace velmora::platform::memory {

using platform::IsShiftJisLeadByte;

// The name in its comparison form: ASCII letters upper-cased (the registry
// orders names by their upper-case form), every other byte as it is.
std::string FoldKeyName(std::string_view name);

// The name's place among its siblings.  NT keeps the subkeys of a key in the
// order of their upper-cased UTF-16 names, so a Shift_JIS name sorts by its
// characters, not its bytes (哀, 88 A3, is U+54C0 and comes before 阿, 88 A2,
// U+963F).  The key is the folded name in UTF-8, whose byte order is that of
// UTF-16 within the BMP, where all of code page 932 lies.  A name with other
// bytes than ASCII gets a NUL and its folded bytes appended, which keep apart
// names that convert alike (every lone lead byte becomes U+30FB); no name
// holds a NUL of its own.  Names that fold alike give the same key.
std::string SubkeyOrderKey(std::string_view name, const CodePage& codePage);

// Splits a subkey path at its separators.  An empty path gives no parts and a
// single trailing separator is ignored; a leading separator or an empty part
// in the middle is a malformed path (nullopt).
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);

}  // namespace velmora::platform::memory
