// The backup folder on the file system: %LOCALAPPDATA%\Velmora\Deleted
// entries, the profile's place for a program's local data.  The folder is
// taken from the environment each time, so nothing is read at start-up.
// A file is written only when no folder between the profile and it is a
// junction or symbolic link, and only once it is known to lie there.
#pragma once

#include "platform/backup_folder.h"

namespace velmora::platform::win32 {

class Win32BackupFolder : public BackupFolder {
  public:
    LocalTime Now() const override;
    std::wstring Location() const override;
    FileWrite WriteNewFile(const std::wstring& name,
                           const std::vector<std::uint8_t>& bytes) override;
    bool RemoveFile(const std::wstring& name) override;
    bool RenameFile(const std::wstring& name, const std::wstring& newName) override;
};

}  // namespace velmora::platform::win32
