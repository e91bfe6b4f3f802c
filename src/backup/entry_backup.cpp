#include "backup/entry_backup.h"

#include <utility>

#include "catalogue/uninstall_key.h"
#include "platform/registry_key.h"

namespace velmora::backup {
namespace {

constexpr std::size_t kFileKeyNameLength = 80;
// More files of one key in one second than any user makes: past this the
// folder is taken to be unusable.
constexpr int kMostCopies = 1000;

std::wstring Digits(int number, int width) {
    std::wstring text = std::to_wstring(number);
    return std::wstring(text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0,
                        L'0') +
           text;
}

bool FitsInFileName(wchar_t c) {
    return c >= 0x20 && std::wstring_view(L"\\/:*?\"<>|").find(c) == std::wstring_view::npos;
}

}  // namespace

std::wstring RegFileKeyPath(std::uint32_t root, std::uint32_t view, std::wstring_view keyName) {
    std::wstring path = root == platform::kHKeyCurrentUser ? L"HKEY_CURRENT_USER\\Software\\"
                        : (view & platform::kKeyWow64_32Key) != 0
                            ? L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\"
                            : L"HKEY_LOCAL_MACHINE\\SOFTWARE\\";
    // The Uninstall key's own path below Software, in ASCII.
    constexpr std::string_view kSoftware = "Software\\";
    constexpr std::string_view kBelowSoftware =
        std::string_view(catalogue::kUninstallPath).substr(kSoftware.size());
    return path + std::wstring(kBelowSoftware.begin(), kBelowSoftware.end()) + L"\\" +
           std::wstring(keyName);
}

platform::RegStatus ReadKeyTree(platform::WideRegistry& registry, platform::RegHandle parent,
                                const std::wstring& keyName, std::uint32_t view,
                                const std::wstring& path, std::vector<ExportedKey>* keys) {
    platform::RegHandle opened = 0;
    if (const auto status =
            registry.RegOpenKeyExW(parent, keyName, platform::kKeyRead | view, &opened);
        status != platform::kErrorSuccess) {
        return status;
    }
    const platform::WideRegistryKey key(registry, opened);
    ExportedKey section{path, {}};
    for (std::uint32_t index = 0;; ++index) {
        platform::WideValue value;
        const auto status = registry.RegEnumValueW(key.get(), index, &value);
        if (status == platform::kErrorNoMoreItems) break;
        if (status != platform::kErrorSuccess) return status;
        section.values.push_back(std::move(value));
    }
    keys->push_back(std::move(section));
    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        const auto status = registry.RegEnumKeyExW(key.get(), index, &name);
        if (status == platform::kErrorNoMoreItems) break;
        if (status != platform::kErrorSuccess) return status;
        if (const auto read =
                ReadKeyTree(registry, key.get(), name, view, path + L"\\" + name, keys);
            read != platform::kErrorSuccess) {
            return read;
        }
    }
    return platform::kErrorSuccess;
}

std::wstring BackupFileName(const platform::LocalTime& time, std::wstring_view keyName, int copy) {
    std::wstring name = Digits(time.year, 4) + L"-" + Digits(time.month, 2) + L"-" +
                        Digits(time.day, 2) + L" " + Digits(time.hour, 2) + L"-" +
                        Digits(time.minute, 2) + L"-" + Digits(time.second, 2) + L" ";
    std::size_t length = std::min(keyName.size(), kFileKeyNameLength);
    // Never half a surrogate pair.
    if (length < keyName.size() && keyName[length - 1] >= 0xD800 && keyName[length - 1] <= 0xDBFF) {
        --length;
    }
    for (const wchar_t c : keyName.substr(0, length)) name += FitsInFileName(c) ? c : L'_';
    if (copy > 1) name += L" (" + std::to_wstring(copy) + L")";
    return name + L".reg";
}

std::wstring NotDeletedFileName(const std::wstring& name) {
    constexpr std::wstring_view kExtension = L".reg";
    const std::wstring_view stem = std::wstring_view(name).substr(
        0, name.ends_with(kExtension) ? name.size() - kExtension.size() : name.size());
    return std::wstring(stem) + L" (not deleted)" + std::wstring(kExtension);
}

bool TakeBackFile(platform::BackupFolder& folder, const std::wstring& name) {
    return folder.RemoveFile(name) || folder.RenameFile(name, NotDeletedFileName(name));
}

SavedBackup SaveEntryBackup(platform::WideRegistry& registry, platform::BackupFolder& folder,
                            platform::RegHandle uninstallKey, std::uint32_t root,
                            std::uint32_t view, const std::wstring& keyName) {
    std::vector<ExportedKey> keys;
    const auto read = ReadKeyTree(registry, uninstallKey, keyName, view,
                                  RegFileKeyPath(root, view, keyName), &keys);
    if (read != platform::kErrorSuccess) {
        // Only the subkey's own opening comes before the first section.
        const bool gone = keys.empty() && read == platform::kErrorFileNotFound;
        return {gone ? BackupStatus::kEntryGone : BackupStatus::kFailed, {}};
    }
    const auto text = RegFileText(keys);
    if (!text) return {};
    const std::vector<std::uint8_t> bytes = RegFileBytes(*text);
    const platform::LocalTime now = folder.Now();
    for (int copy = 1; copy <= kMostCopies; ++copy) {
        std::wstring name = BackupFileName(now, keyName, copy);
        switch (folder.WriteNewFile(name, bytes)) {
            case platform::FileWrite::kWritten:
                return {BackupStatus::kSaved, std::move(name)};
            case platform::FileWrite::kNameTaken:
                continue;
            case platform::FileWrite::kIncomplete:
                // A part that will neither go nor be renamed is left as it is.
                static_cast<void>(TakeBackFile(folder, name));
                return {};
            case platform::FileWrite::kFailed:
                return {};
        }
    }
    return {};
}

}  // namespace velmora::backup
