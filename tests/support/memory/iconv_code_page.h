// Code-page conversion through iconv, for hosts without the Win32 calls.
//
// Bytes that do not form a character (a lone lead byte, an undefined
// sequence) each become one replacement character and conversion goes on
// with the next byte: U+30FB (KATAKANA MIDDLE DOT) for code page 932, as
// Windows does, U+FFFD for UTF-8 and '?' for any other code page.  NUL bytes
// convert to L'\0' like any other character.  Wide characters the code page
// cannot represent become their best-fit look-alike where Windows has one
// (for the characters tests use) and '?' otherwise.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace velmora::platform::memory {

// Owns one iconv conversion descriptor.
class IconvDescriptor {
  public:
    // Throws std::runtime_error when iconv knows no such conversion.
    IconvDescriptor(const char* to, const char* from);
    ~IconvDescriptor();
    IconvDescriptor(const IconvDescriptor&) = delete;
    IconvDescriptor& operator=(const IconvDescriptor&) = delete;

    iconv_t get() const { return descriptor_; }

  private:
    iconv_t descriptor_;
};

class IconvCodePage : public CodePage {
  public:
    // 932 (Shift_JIS as Windows has it), 1252, 65001 (UTF-8) or any other
    // Windows code page number iconv knows as "CP<number>".
    explicit IconvCodePage(unsigned codePage = 932);

    std::wstring ToWide(std::string_view bytes) const override;
    std::string ToNarrow(std::wstring_view text) const override;
    std::optional<std::string> ToNarrowExactly(std::wstring_view text) const override;

  private:
    wchar_t replacement_;
    IconvDescriptor toWide_;
    IconvDescriptor toNarrow_;
};

}  // namespace velmora::platform::memory
