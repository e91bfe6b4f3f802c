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
    kWritten,     // created, written in full, flushed and closed
    kNameTaken,   // a file of that name exists already; it was not touched
    kIncomplete,  // created but not written in full: the partial file is there
    kFailed,      // anything else; no file of that name was created
};

class BackupFolder {
  public:
    virtual ~BackupFolder() = default;

    virtual LocalTime Now() const = 0;
    // The folder's full path, for the user; empty when there is none to
    // tell (no profile folder to put it in).
    virtual std::wstring Location() const = 0;
    // Creates the folder when it is missing, then a new file of that name
    // (never overwriting one), and writes the bytes.
    virtual FileWrite WriteNewFile(const std::wstring& name,
                                   const std::vector<std::uint8_t>& bytes) = 0;
    // Removes a file written earlier; false when it could not be removed.
    virtual bool RemoveFile(const std::wstring& name) = 0;
    // Gives a file written earlier a new name, never replacing another file;
    // false when it could not be renamed.
    virtual bool RenameFile(const std::wstring& name, const std::wstring& newName) = 0;
};

}  // namespace velmora::platform
