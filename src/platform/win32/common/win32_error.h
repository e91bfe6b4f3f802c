// Turning a failed Win32 call into an exception the window code can report.
#pragma once

namespace velmora::platform::win32 {

// Throws std::runtime_error naming the call and GetLastError()'s code.
[[noreturn]] void ThrowLastError(const char* call);

}  // namespace velmora::platform::win32
