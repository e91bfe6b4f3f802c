// How the Win32 layer treats a failing call.  One policy for all of it:
//
// - Where a call's result is part of what the program does (every registry
//   call, starting a process, writing, removing or renaming a backup file), the
//   adapter returns the status or a bool to the logic, which decides what the
//   user sees.  Registry calls return their status code; GetLastError() is
//   never read for them.
// - Where a window call fails only when the session itself is broken
//   (creating a window or control, placing it, a DC, a font, a message box),
//   it throws std::runtime_error through the checks below.  The window
//   procedure's fence (ui/message_window.cpp) and wWinMain catch it and show
//   it in a message box; the program goes on where it can.
// - Nothing is dropped silently: a result deliberately ignored is cast to
//   void next to a comment saying why.
//
// The checks take the failing call's name from the call's own text at the
// call site, so the name in a report cannot drift from the code:
//
//   const HWND control = VELMORA_WIN32_CHECK(::CreateWindowExW(...));
//   VELMORA_WIN32_CHECK_THAT(::GetMessageW(&msg, nullptr, 0, 0),
//                            [](BOOL got) { return got != -1; });
#pragma once

#include <source_location>
#include <string_view>

namespace velmora::platform::win32 {

// Throws std::runtime_error: "<call> failed (error <GetLastError()>) at
// <file>:<line>".  call is the call's text; its name is what precedes the
// first parenthesis.
[[noreturn]] void ThrowLastError(std::string_view call, std::source_location where);

// The name of the function called in a call's text: "::SetWindowPos(w, ...)"
// gives "SetWindowPos".
std::string_view CalledFunctionName(std::string_view call);

template <typename Result, typename Succeeded>
Result CheckWin32Result(Result result, Succeeded succeeded, std::string_view call,
                        std::source_location where) {
    if (!succeeded(result)) ThrowLastError(call, where);
    return result;
}

}  // namespace velmora::platform::win32

// A call that reports failure with a zero, null or FALSE result; gives the
// result back.
#define VELMORA_WIN32_CHECK(call)                                                    \
    ::velmora::platform::win32::CheckWin32Result(                                    \
        (call), [](const auto& result) { return static_cast<bool>(result); }, #call, \
        std::source_location::current())

// A call whose success the predicate tells from its result.
#define VELMORA_WIN32_CHECK_THAT(call, succeeded)                          \
    ::velmora::platform::win32::CheckWin32Result((call), succeeded, #call, \
                                                 std::source_location::current())
