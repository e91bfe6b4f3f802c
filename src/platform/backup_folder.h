// The folder where the delete command keeps a registry file of every entry
// before it deletes it, and the local clock that names those files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::platform {

struct LocalTime {
    std::uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

enum class FileWrite {
    kWritten,    // created, written in full, flushed and closed
    kNameTaken,  // a file of that name exists already; it was not touched
    kFailed,     // anything else; no file of that name was left behind
};

class BackupFolder {
  public:
    virtual ~BackupFolder() = default;

    virtual LocalTime Now() const = 0;
    // Creates the folder when it is missing, then a new file of that name
    // (never overwriting one), and writes the bytes.
    virtual FileWrite WriteNewFile(const std::wstring& name,
                                   const std::vector<std::uint8_t>& bytes) = 0;
    // Removes a file written earlier; false when it could not be removed.
    virtual bool RemoveFile(const std::wstring& name) = 0;
};

}  // namespace velmora::platform
