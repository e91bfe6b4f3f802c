// Text conversion in the system's ANSI code page (CP_ACP).
#pragma once

#include "platform/code_page.h"

namespace velmora::platform::win32 {

class Win32CodePage : public CodePage {
  public:
    std::wstring ToWide(std::string_view bytes) const override;
    std::string ToNarrow(std::wstring_view text) const override;
    std::optional<std::string> ToNarrowExactly(std::wstring_view text) const override;
};

}  // namespace velmora::platform::win32
