#include "platform/win32/system/win32_backup_folder.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "platform/win32/common/unique_handle.h"

namespace velmora::platform::win32 {
namespace {

constexpr wchar_t kProfileVariable[] = L"LOCALAPPDATA";
constexpr wchar_t kProgramFolder[] = L"\\Velmora";
constexpr wchar_t kBackupFolder[] = L"\\Deleted entries";

bool IsAbsolute(const std::wstring& path) {
    const bool drive =
        path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    return drive || path.starts_with(L"\\\\");
}

// The profile's local data folder; nothing when the variable is unset or not
// an absolute path (a relative one would put the files wherever the program
// happens to run).
std::optional<std::wstring> LocalAppData() {
    const DWORD room = ::GetEnvironmentVariableW(kProfileVariable, nullptr, 0);
    if (room == 0) return std::nullopt;
    std::wstring value(room, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(kProfileVariable, value.data(), room);
    if (length == 0 || length >= room) return std::nullopt;
    value.resize(length);
    if (!IsAbsolute(value)) return std::nullopt;
    while (value.ends_with(L'\\')) value.pop_back();
    return value;
}

std::optional<std::wstring> FolderPath() {
    const auto profile = LocalAppData();
    if (!profile) return std::nullopt;
    return *profile + kProgramFolder + kBackupFolder;
}

// Creates a folder unless there is one; a file in its place shows when the
// file in it is created.
bool EnsureFolder(const std::wstring& path) {
    return ::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteAll(HANDLE file, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

LocalTime Win32BackupFolder::Now() const {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

FileWrite Win32BackupFolder::WriteNewFile(const std::wstring& name,
                                          const std::vector<std::uint8_t>& bytes) {
    // The program's folder first, then the backup folder inside it.
    const auto folder = FolderPath();
    if (!folder || !EnsureFolder(folder->substr(0, folder->rfind(L'\\'))) ||
        !EnsureFolder(*folder)) {
        return FileWrite::kFailed;
    }
    const std::wstring path = *folder + L"\\" + name;
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? FileWrite::kNameTaken
                                                                           : FileWrite::kFailed;
    }
    // Written, on the disk and closed; else the caller takes the part back.
    bool complete = WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    complete = ::CloseHandle(file.release()) && complete;
    return complete ? FileWrite::kWritten : FileWrite::kIncomplete;
}

std::wstring Win32BackupFolder::Location() const { return FolderPath().value_or(L""); }

bool Win32BackupFolder::RemoveFile(const std::wstring& name) {
    const auto folder = FolderPath();
    return folder && ::DeleteFileW((*folder + L"\\" + name).c_str());
}

bool Win32BackupFolder::RenameFile(const std::wstring& name, const std::wstring& newName) {
    const auto folder = FolderPath();
    // Without MOVEFILE_REPLACE_EXISTING: a file of the new name stays as it is.
    return folder &&
           ::MoveFileExW((*folder + L"\\" + name).c_str(), (*folder + L"\\" + newName).c_str(), 0);
}

}  // namespace velmora::platform::win32
