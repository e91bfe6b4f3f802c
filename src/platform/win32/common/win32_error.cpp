#include "platform/win32/common/win32_error.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace velmora::platform::win32 {

std::string_view CalledFunctionName(std::string_view call) {
    call = call.substr(0, call.find('('));
    const auto start = call.find_first_not_of(": \t");
    if (start == std::string_view::npos) return {};
    call = call.substr(start);
    return call.substr(0, call.find_last_not_of(" \t") + 1);
}

void ThrowLastError(std::string_view call, std::source_location where) {
    // Read first: building the text can change the thread's last error.
    const DWORD code = ::GetLastError();
    std::string_view file = where.file_name();
    file = file.substr(file.find_last_of("/\\") + 1);
    throw std::runtime_error(std::string(CalledFunctionName(call)) + " failed (error " +
                             std::to_string(code) + ") at " + std::string(file) + ":" +
                             std::to_string(where.line()));
}

}  // namespace velmora::platform::win32
