// Conversion between the system's 8-bit code page (932 on Japanese systems)
// and wide text.  Shift_JIS trail bytes can be 0x5C, the byte of '\': 8-bit
// texts are never split or compared byte-wise as if they were ASCII.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::platform {

class CodePage {
  public:
    virtual ~CodePage() = default;
    // Converts every byte, NULs included; invalid sequences become a
    // replacement character rather than ending the conversion.
    virtual std::wstring ToWide(std::string_view bytes) const = 0;
    // Characters the code page lacks become a look-alike where the system has
    // one (best fit: U+00E9 as 'e', U+00A5 as 0x5C in code page 932) and its
    // default character otherwise, as in the 8-bit registry calls.
    virtual std::string ToNarrow(std::wstring_view text) const = 0;
    // The text in the code page character for character, or nothing when any
    // character has no exact counterpart there (no best fit, no default
    // character).
    virtual std::optional<std::string> ToNarrowExactly(std::wstring_view text) const = 0;
};

}  // namespace velmora::platform
