#include "platform/win32/system/win32_code_page.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace velmora::platform::win32 {
namespace {

// The conversion functions count in int; registry texts are tiny, so a longer
// input is a caller's error rather than something to convert piecewise (which
// could cut a double-byte character in two).
int CheckedLength(std::size_t length) {
    if (length > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error("text too long for the code-page conversion");
    }
    return static_cast<int>(length);
}

}  // namespace

// No MB_ERR_INVALID_CHARS: an invalid byte sequence becomes the system's
// replacement character and the rest of the text is still converted.  The
// lengths are explicit, so embedded NULs are converted like any character.
std::wstring Win32CodePage::ToWide(std::string_view bytes) const {
    if (bytes.empty()) return {};
    const int length = CheckedLength(bytes.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    const int written = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), needed);
    text.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return text;
}

// Characters the code page lacks become a best-fit look-alike or its default
// character.
std::string Win32CodePage::ToNarrow(std::wstring_view text) const {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    const int written = ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, bytes.data(), needed,
                                              nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return bytes;
}

// WC_NO_BEST_FIT_CHARS turns best fit off, and the default-character flag
// reports any character that had no counterpart.  UTF-8 as the system code
// page (a Windows option) takes neither; there only an unpaired surrogate
// cannot be carried, which WC_ERR_INVALID_CHARS reports.  That flag is
// allowed with CP_UTF8 alone, not with CP_ACP that stands for it.
std::optional<std::string> Win32CodePage::ToNarrowExactly(std::wstring_view text) const {
    if (text.empty()) return std::string();
    const int length = CheckedLength(text.size());
    const bool utf8 = ::GetACP() == CP_UTF8;
    const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int needed = ::WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0,
                                             nullptr, usedDefaultOut);
    if (needed <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    const int written = ::WideCharToMultiByte(codePage, flags, text.data(), length, bytes.data(),
                                              needed, nullptr, usedDefaultOut);
    if (written != needed || usedDefault) return std::nullopt;
    return bytes;
}

}  // namespace velmora::platform::win32
