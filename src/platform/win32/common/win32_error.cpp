#include "platform/win32/common/win32_error.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace velmora::platform::win32 {

void ThrowLastError(const char* call) {
    const DWORD code = ::GetLastError();
    throw std::runtime_error(std::string(call) + " failed (error " + std::to_string(code) + ")");
}

}  // namespace velmora::platform::win32
