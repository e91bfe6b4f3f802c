#include "platform/win32/system/win32_backup_folder.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/win32/common/unique_handle.h"

namespace velmora::platform::win32 {
namespace {

constexpr wchar_t kLocalDataVariable[] = L"LOCALAPPDATA";
constexpr wchar_t kProgramFolder[] = L"\\Velmora";
constexpr wchar_t kBackupFolder[] = L"\\Deleted entries";

bool IsAbsolute(const std::wstring& path) {
    const bool drive =
        path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    return drive || path.starts_with(L"\\\\");
}

// An absolute path from the environment, without trailing separators;
// nothing when the variable is unset or relative (a relative one would put
// the files wherever the program happens to run).
std::optional<std::wstring> EnvironmentPath(const wchar_t* name) {
    const DWORD room = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (room == 0) return std::nullopt;
    std::wstring value(room, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), room);
    if (length == 0 || length >= room) return std::nullopt;
    value.resize(length);
    if (!IsAbsolute(value)) return std::nullopt;
    while (value.ends_with(L'\\')) value.pop_back();
    return value;
}

bool SamePath(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The backup folder, and the folder above it from which every folder on the
// way down is checked: the user's profile when the local data folder lies in
// it, else the local data folder's parent.  Any program the user runs can
// make a folder below the profile a junction or a symbolic link; the profile
// itself and the folders above it are the system's.
struct Place {
    std::wstring top, folder;
};

std::optional<Place> BackupPlace() {
    const auto local = EnvironmentPath(kLocalDataVariable);
    if (!local) return std::nullopt;
    const auto profile = EnvironmentPath(L"USERPROFILE");
    const bool inProfile = profile && local->size() > profile->size() &&
                           (*local)[profile->size()] == L'\\' &&
                           SamePath(std::wstring_view(*local).substr(0, profile->size()), *profile);
    std::wstring top = inProfile ? *profile : local->substr(0, local->rfind(L'\\'));
    return Place{std::move(top), *local + kProgramFolder + kBackupFolder};
}

std::optional<std::wstring> FolderPath() {
    const auto place = BackupPlace();
    if (!place) return std::nullopt;
    return place->folder;
}

// Creates each missing folder from below top down to the backup folder, and
// makes sure that each is a folder and no reparse point (junction, symbolic
// link, mount point), which would send what is created below it wherever its
// maker chose.  A folder's parent is checked before the folder is created.
bool MakePlainFolders(const Place& place) {
    std::size_t end = place.top.size();
    do {
        end = place.folder.find(L'\\', end + 1);
        const std::wstring path = place.folder.substr(0, end);
        if (!::CreateDirectoryW(path.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return false;
        }
    } while (end != std::wstring::npos);
    return true;
}

// The path the file system resolves an open handle to, every link followed,
// without a trailing separator.
std::optional<std::wstring> FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (int round = 0; round < 2; ++round) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
        if (length == 0) return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            while (path.ends_with(L'\\')) path.pop_back();
            return path;
        }
        path.assign(length, L'\0');
    }
    return std::nullopt;
}

// Whether a file just created lies where the path says below top, and not
// behind a link made after the folders were checked.
bool CreatedInPlace(HANDLE file, const Place& place, const std::wstring& path) {
    const std::wstring topPath = place.top.size() == 2 ? place.top + L"\\" : place.top;
    const UniqueHandle top(::CreateFileW(topPath.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                         nullptr));
    const auto topFinal = top ? FinalPath(top.get()) : std::nullopt;
    const auto fileFinal = FinalPath(file);
    return topFinal && fileFinal && SamePath(*fileFinal, *topFinal + path.substr(place.top.size()));
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
    const auto place = BackupPlace();
    if (!place || !MakePlainFolders(*place)) return FileWrite::kFailed;
    const std::wstring path = place->folder + L"\\" + name;
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? FileWrite::kNameTaken
                                                                           : FileWrite::kFailed;
    }
    if (!CreatedInPlace(file.get(), *place, path)) {
        // Not a byte written: the empty file goes again, through the handle
        // rather than a path that leads elsewhere.  Should even that fail, it
        // stays empty where the link led.
        FILE_DISPOSITION_INFO remove{TRUE};
        static_cast<void>(
            ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &remove, sizeof remove));
        return FileWrite::kFailed;
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
