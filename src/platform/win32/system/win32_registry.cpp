#include "platform/win32/system/win32_registry.h"

#include <windows.h>

#include "platform/win32/system/api_out_arguments.h"
#include "platform/win32/system/hkey_of.h"

namespace velmora::platform::win32 {

RegStatus Win32Registry::RegCreateKeyExA(RegHandle key, const char* subKey, std::uint32_t reserved,
                                         const char* className, std::uint32_t options,
                                         std::uint32_t samDesired,
                                         const SecurityAttributes* securityAttributes,
                                         RegHandle* result, std::uint32_t* disposition) {
    SECURITY_ATTRIBUTES attributes{};
    if (securityAttributes != nullptr) {
        attributes.nLength = securityAttributes->nLength;
        attributes.lpSecurityDescriptor =
            const_cast<void*>(securityAttributes->lpSecurityDescriptor);
        attributes.bInheritHandle = securityAttributes->bInheritHandle;
    }
    HkeyOutArgument opened(result);
    DwordInOutArgument created(disposition);
    // The class is only read; the ANSI signature merely lacks the const.
    return ::RegCreateKeyExA(HkeyOf(key), subKey, reserved, const_cast<char*>(className), options,
                             samDesired, securityAttributes != nullptr ? &attributes : nullptr,
                             opened.get(), created.get());
}

RegStatus Win32Registry::RegOpenKeyExA(RegHandle key, const char* subKey, std::uint32_t options,
                                       std::uint32_t samDesired, RegHandle* result) {
    HkeyOutArgument opened(result);
    return ::RegOpenKeyExA(HkeyOf(key), subKey, options, samDesired, opened.get());
}

RegStatus Win32Registry::RegEnumKeyA(RegHandle key, std::uint32_t index, char* name,
                                     std::uint32_t nameSize) {
    return ::RegEnumKeyA(HkeyOf(key), index, name, nameSize);
}

RegStatus Win32Registry::RegCreateKeyA(RegHandle key, const char* subKey, RegHandle* result) {
    HkeyOutArgument opened(result);
    return ::RegCreateKeyA(HkeyOf(key), subKey, opened.get());
}

RegStatus Win32Registry::RegQueryValueExA(RegHandle key, const char* valueName,
                                          std::uint32_t* reserved, std::uint32_t* type,
                                          std::uint8_t* data, std::uint32_t* dataSize) {
    DwordInOutArgument reservedWord(reserved);
    DwordInOutArgument typeWord(type);
    DwordInOutArgument sizeWord(dataSize);
    return ::RegQueryValueExA(HkeyOf(key), valueName, reservedWord.get(), typeWord.get(), data,
                              sizeWord.get());
}

RegStatus Win32Registry::RegDeleteKeyExA(RegHandle key, const char* subKey,
                                         std::uint32_t samDesired, std::uint32_t reserved) {
    return ::RegDeleteKeyExA(HkeyOf(key), subKey, samDesired, reserved);
}

RegStatus Win32Registry::RegCloseKey(RegHandle key) { return ::RegCloseKey(HkeyOf(key)); }

RegStatus Win32Registry::RegNotifyChangeKeyValue(RegHandle key, bool watchSubtree,
                                                 std::uint32_t notifyFilter, EventHandle event,
                                                 bool asynchronous) {
    return ::RegNotifyChangeKeyValue(HkeyOf(key), watchSubtree ? TRUE : FALSE, notifyFilter,
                                     reinterpret_cast<HANDLE>(event), asynchronous ? TRUE : FALSE);
}

}  // namespace velmora::platform::win32
