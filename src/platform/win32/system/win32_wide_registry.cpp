#include "platform/win32/system/win32_wide_registry.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/win32/system/api_out_arguments.h"
#include "platform/win32/system/hkey_of.h"

namespace velmora::platform::win32 {
namespace {

// The longest value name the registry allows, and its NUL.
constexpr DWORD kValueNameRoom = 16384;
// The longest key name, and its NUL.
constexpr DWORD kKeyNameRoom = 256;
// The data buffer of the first try.
constexpr std::size_t kFirstDataRoom = 1024;
// A value can grow between one try and the next; after this many the key is
// taken to be changing too fast to be read.
constexpr int kReadAttempts = 8;

}  // namespace

RegStatus Win32WideRegistry::RegOpenKeyExW(RegHandle key, const std::wstring& subKey,
                                           std::uint32_t samDesired, RegHandle* result) {
    HkeyOutArgument opened(result);
    return ::RegOpenKeyExW(HkeyOf(key), subKey.c_str(), 0, samDesired, opened.get());
}

RegStatus Win32WideRegistry::RegEnumValueW(RegHandle key, std::uint32_t index, WideValue* value) {
    std::wstring name(kValueNameRoom, L'\0');
    // Enough for the values of an Uninstall entry; a larger one says how
    // much it needs and is read again.
    std::vector<std::uint8_t> data(kFirstDataRoom);
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD nameLength = kValueNameRoom;
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(data.size());
        const LSTATUS status = ::RegEnumValueW(HkeyOf(key), index, name.data(), &nameLength,
                                               nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(std::max<std::size_t>(size, data.size() * 2));
            continue;
        }
        if (status != ERROR_SUCCESS) return status;
        value->name = name.substr(0, nameLength);
        value->type = type;
        value->data.assign(data.begin(), data.begin() + std::min<std::size_t>(size, data.size()));
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

RegStatus Win32WideRegistry::RegEnumKeyExW(RegHandle key, std::uint32_t index, std::wstring* name) {
    wchar_t buffer[kKeyNameRoom];
    DWORD length = kKeyNameRoom;
    const LSTATUS status =
        ::RegEnumKeyExW(HkeyOf(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) name->assign(buffer, length);
    return status;
}

RegStatus Win32WideRegistry::RegCloseKey(RegHandle key) { return ::RegCloseKey(HkeyOf(key)); }

}  // namespace velmora::platform::win32
