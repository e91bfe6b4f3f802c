// The last line of defence of a window procedure: a C++ exception must not
// unwind into user32, so it ends in a message box and the program goes on.
#pragma once

#include <windows.h>

namespace velmora::platform::win32 {

inline constexpr wchar_t kUnexpectedErrorMessage[] = L"予期しないエラーが発生しました。";

// Shows kUnexpectedErrorMessage, with the exception's text when there is
// one, captioned with the application title.  Never throws.
void ReportUnexpectedError(HWND owner, const char* detail) noexcept;

}  // namespace velmora::platform::win32
