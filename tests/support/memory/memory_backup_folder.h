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
    std::wstring location = L"C:\\Users\\user\\AppData\\Local\\Velmora\\Deleted entries";
    std::map<std::wstring, std::vector<std::uint8_t>> files;
    bool failWrites = false;  // as with no profile folder, a full disk or no access
    bool cutWrites = false;   // as with a disk that fills up: an incomplete file stays
    bool failRemovals = false;

    LocalTime Now() const override { return now; }
    std::wstring Location() const override { return location; }
    FileWrite WriteNewFile(const std::wstring& name,
                           const std::vector<std::uint8_t>& bytes) override {
        if (failWrites) return FileWrite::kFailed;
        if (!files.try_emplace(name, bytes).second) return FileWrite::kNameTaken;
        return cutWrites ? FileWrite::kIncomplete : FileWrite::kWritten;
    }
    bool RemoveFile(const std::wstring& name) override {
        return !failRemovals && files.erase(name) == 1;
    }
    bool RenameFile(const std::wstring& name, const std::wstring& newName) override {
        if (!files.contains(name) || !files.try_emplace(newName, files[name]).second) return false;
        return files.erase(name) == 1;
    }
};

}  // namespace velmora::platform::memory
