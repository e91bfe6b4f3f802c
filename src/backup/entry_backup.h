// The copy of an entry's subkey that the delete command saves before it
// deletes: a registry file in the backup folder, named after the local time
// and the key, that a double click or "reg import" puts back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "backup/reg_file_text.h"
#include "platform/backup_folder.h"
#include "platform/wide_registry.h"

namespace velmora::backup {

// Where the registry editor finds an Uninstall subkey: the machine's 32-bit
// view under Wow6432Node, as on 64-bit Windows.
std::wstring RegFileKeyPath(std::uint32_t root, std::uint32_t view, std::wstring_view keyName);

// Reads subkey keyName of parent, opened read-only in view, with every value
// and every key below it, into sections of a registry file, the first named
// path.  Fails on the first call that fails.
platform::RegStatus ReadKeyTree(platform::WideRegistry& registry, platform::RegHandle parent,
                                const std::wstring& keyName, std::uint32_t view,
                                const std::wstring& path, std::vector<ExportedKey>* keys);

// "2026-12-07 14-05-33 KEY.reg", or "... KEY (2).reg" for the second file of
// that second: characters a file name cannot hold become '_' and the key's
// part is cut to a bounded length.
std::wstring BackupFileName(const platform::LocalTime& time, std::wstring_view keyName, int copy);

// "... KEY.reg" becomes "... KEY (not deleted).reg": the name of a file
// whose entry stays in the registry after all.
std::wstring NotDeletedFileName(const std::wstring& name);

// Takes back a file whose entry was not deleted: removes it, or, when it will
// not go, gives it its not-deleted name.  False when it stays as it was.
bool TakeBackFile(platform::BackupFolder& folder, const std::wstring& name);

enum class BackupStatus {
    kSaved,      // the whole subkey is in a new file of the folder
    kEntryGone,  // the subkey itself is not there (any more)
    kFailed,     // a key could not be read, no file can carry a name, or the
                 // file could not be written; no file of it is left by its name
};

struct SavedBackup {
    BackupStatus status = BackupStatus::kFailed;
    std::wstring file;  // the file's name when saved
};

// Saves subkey keyName of the opened Uninstall key of root (in view) to a
// new file of the folder.
SavedBackup SaveEntryBackup(platform::WideRegistry& registry, platform::BackupFolder& folder,
                            platform::RegHandle uninstallKey, std::uint32_t root,
                            std::uint32_t view, const std::wstring& keyName);

}  // namespace velmora::backup
