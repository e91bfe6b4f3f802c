// The registry as the logic sees it: the advapi32 calls it makes, with their
// Win32 names, argument order, 8-bit texts in the system code page and numeric
// result codes (0 success, 259 end of an enumeration, anything else failure).
#pragma once

#include <cstdint>

namespace velmora::platform {

using RegStatus = std::int32_t;      // LONG
using RegHandle = std::uintptr_t;    // HKEY
using EventHandle = std::uintptr_t;  // HANDLE of an event object

inline constexpr RegStatus kErrorSuccess = 0;
inline constexpr RegStatus kErrorFileNotFound = 2;
inline constexpr RegStatus kErrorAccessDenied = 5;
inline constexpr RegStatus kErrorInvalidParameter = 87;
inline constexpr RegStatus kErrorMoreData = 234;
inline constexpr RegStatus kErrorNoMoreItems = 259;

// The predefined root handles, as 32-bit values.  The Win32 adapter maps them
// onto the real (sign-extended) HKEY constants.
inline constexpr std::uint32_t kHKeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t kHKeyLocalMachine = 0x80000002;

// Access rights.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyNotify = 0x0010;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
inline constexpr std::uint32_t kKeyWow64_32Key = 0x0200;
inline constexpr std::uint32_t kKeyWow64Views = kKeyWow64_64Key | kKeyWow64_32Key;
inline constexpr std::uint32_t kReadControl = 0x00020000;
inline constexpr std::uint32_t kWriteDac = 0x00040000;
inline constexpr std::uint32_t kKeyRead = 0x00020019;
// What the program asks for when it means to delete: WRITE_DAC with the
// query, set, create-subkey, enumerate and notify rights.  Deliberately not
// KEY_ALL_ACCESS (0xF003F).
inline constexpr std::uint32_t kKeyFullAccess = 0x0004001F;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// RegNotifyChangeKeyValue filters.
inline constexpr std::uint32_t kRegNotifyChangeName = 0x1;     // a subkey added or removed
inline constexpr std::uint32_t kRegNotifyChangeLastSet = 0x4;  // a value set or deleted

// RegCreateKeyExA dispositions.
inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr std::uint32_t kRegOpenedExistingKey = 2;

// The security-attributes record handed to RegCreateKeyExA.  The program
// always passes one that is all zero: no descriptor, not inheritable.
struct SecurityAttributes {
    std::uint32_t nLength = 0;
    const void* lpSecurityDescriptor = nullptr;
    std::int32_t bInheritHandle = 0;
};

class Registry {
  public:
    virtual ~Registry() = default;

    // Opens subKey of key, creating it when absent.
    virtual RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, std::uint32_t reserved,
                                      const char* className, std::uint32_t options,
                                      std::uint32_t samDesired,
                                      const SecurityAttributes* securityAttributes,
                                      RegHandle* result, std::uint32_t* disposition) = 0;
    // Opens subKey of key; never creates anything.
    virtual RegStatus RegOpenKeyExA(RegHandle key, const char* subKey, std::uint32_t options,
                                    std::uint32_t samDesired, RegHandle* result) = 0;
    // Writes the name of subkey number index, NUL-terminated, into name.
    virtual RegStatus RegEnumKeyA(RegHandle key, std::uint32_t index, char* name,
                                  std::uint32_t nameSize) = 0;
    // Opens subKey of key with full rights, creating it when absent.
    virtual RegStatus RegCreateKeyA(RegHandle key, const char* subKey, RegHandle* result) = 0;
    // Copies the value's bytes into data; *dataSize is the room on entry and
    // the bytes written (or needed) afterwards.
    virtual RegStatus RegQueryValueExA(RegHandle key, const char* valueName,
                                       std::uint32_t* reserved, std::uint32_t* type,
                                       std::uint8_t* data, std::uint32_t* dataSize) = 0;
    // Deletes subKey of key in the registry view samDesired names
    // (KEY_WOW64_32KEY or KEY_WOW64_64KEY; 0 for the process's own).
    virtual RegStatus RegDeleteKeyExA(RegHandle key, const char* subKey, std::uint32_t samDesired,
                                      std::uint32_t reserved) = 0;
    virtual RegStatus RegCloseKey(RegHandle key) = 0;
    // Asks for event to be set at the next change of key that the filter
    // names (of key alone, or of its whole tree with watchSubtree).  Each
    // request is answered once; closing the key ends it, and may set the
    // event too.
    virtual RegStatus RegNotifyChangeKeyValue(RegHandle key, bool watchSubtree,
                                              std::uint32_t notifyFilter, EventHandle event,
                                              bool asynchronous) = 0;
};

}  // namespace velmora::platform
