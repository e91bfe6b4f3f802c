// A backup folder held in memory, with a clock that stands still and writes
// or removals that can be told to fail.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/backup_folder.h"

namespace velmora::platform::memory {

class MemoryBackupFolder : public BackupFolder {
  public:
    LocalTime now{2026, 12, 7, 14, 5, 33};
    std::map<std::wstring, std::vector<std::uint8_t>> files;
    bool failWrites = false;  // as with no profile folder, a full disk or no access
    bool failRemovals = false;

    LocalTime Now() const override { return now; }
    FileWrite WriteNewFile(const std::wstring& name,
                           const std::vector<std::uint8_t>& bytes) override {
        if (failWrites) return FileWrite::kFailed;
        return files.try_emplace(name, bytes).second ? FileWrite::kWritten : FileWrite::kNameTaken;
    }
    bool RemoveFile(const std::wstring& name) override {
        return !failRemovals && files.erase(name) == 1;
    }
};

}  // namespace velmora::platform::memory
