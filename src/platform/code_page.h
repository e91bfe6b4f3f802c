// Conversion between the system's 8-bit code page (932 on Japanese systems)
// and wide text.  Shift_JIS trail bytes can be 0x5C, the byte of '\': 8-bit
// texts are never split or compared byte-wise as if they were ASCII.
#pragma once

#include <string>
#include <string_view>

namespace velmora::platform {

class CodePage {
  public:
    virtual ~CodePage() = default;
    // Converts every byte, NULs included; invalid sequences become a
    // replacement character rather than ending the conversion.
    virtual std::wstring ToWide(std::string_view bytes) const = 0;
    // Characters the code page cannot represent become its default character.
    virtual std::string ToNarrow(std::wstring_view text) const = 0;
};

}  // namespace velmora::platform
