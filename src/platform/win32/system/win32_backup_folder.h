// The backup folder on the file system: %LOCALAPPDATA%\Velmora\Deleted
// entries, the profile's place for a program's local data.  The folder is
// taken from the environment each time, so nothing is read at start-up.
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
