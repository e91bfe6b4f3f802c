// What the check for a stale uninstaller asks of the system, in the shape of
// the Win32 calls it stands for: a drive's type, a path's attributes, the
// Installer's state of a product, and the environment references a start
// would expand.  It only looks: it never opens a file, starts a program or
// touches the network.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::platform {

inline constexpr unsigned kDriveFixed = 3;
inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
inline constexpr std::uint32_t kPathNotFound = 3;  // ERROR_PATH_NOT_FOUND
inline constexpr int kInstallStateUnknown = -1;
inline constexpr int kInstallStateAdvertised = 1;
inline constexpr int kInstallStateAbsent = 2;  // installed for another user
inline constexpr int kInstallStateDefault = 5;

struct FileAttributes {
    std::uint32_t attributes;  // kInvalidFileAttributes when the call failed
    std::uint32_t error;       // the call's error then, else 0
};

class UninstallerProbe {
  public:
    virtual ~UninstallerProbe() = default;
    // GetDriveTypeW of "X:\".
    virtual unsigned GetDriveTypeW(wchar_t letter) const = 0;
    virtual FileAttributes GetFileAttributesW(const std::wstring& path) const = 0;
    // productCode with its braces.  Nothing when the Installer's library
    // cannot be loaded.
    virtual std::optional<int> MsiQueryProductStateW(const std::wstring& productCode) const = 0;
    // %NAME% references expanded as a start expands them; an undefined one
    // stays as written.  Nothing when the expansion fails.
    virtual std::optional<std::wstring> ExpandEnvironmentStringsW(
        const std::wstring& text) const = 0;
};

}  // namespace velmora::platform
