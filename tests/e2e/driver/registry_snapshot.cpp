#include "registry_snapshot.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace velmora::e2e {
namespace {

constexpr wchar_t kUninstallPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Keys that Wine rewrites by itself while programs start and end (device
// data, the desktop's and the services' run-time state, the network adapters
// that its services list a while after a prefix is made), Perflib's language
// keys (performance counters, which cannot be read as keys), and the link
// CurrentControlSet, a second way to ControlSet001. Paths from the root.
constexpr const wchar_t* kSkippedInWholeRegistry[] = {
    L"HKLM(64)\\Hardware",
    L"HKLM(64)\\System\\CurrentControlSet",
    L"HKLM(64)\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    L"HKLM(32)\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    L"HKLM(64)\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    L"HKLM(64)\\Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    L"HKLM(32)\\Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    L"HKLM(64)\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
};

bool Skipped(const std::wstring& path) {
    return std::ranges::any_of(kSkippedInWholeRegistry, [&](const wchar_t* skipped) {
        return lstrcmpiW(path.c_str(), skipped) == 0;
    });
}

void ReadTree(HKEY key, REGSAM view, const std::wstring& path, RegistrySnapshot& snapshot);

// Reads a subkey's tree; a failure names the key.
void ReadSubtree(HKEY parent, const std::wstring& name, REGSAM view, const std::wstring& path,
                 RegistrySnapshot& snapshot) {
    try {
        HKEY key = nullptr;
        ThrowOnError("RegOpenKeyExW",
                     RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | view, &key));
        ReadTree(UniqueHkey(key).get(), view, path, snapshot);
    } catch (const std::runtime_error& error) {
        if (std::string_view(error.what()).find(" at ") != std::string_view::npos) throw;
        std::string where;
        for (const wchar_t c : path) where += c < 0x80 ? static_cast<char>(c) : '?';
        throw std::runtime_error(error.what() + std::string(" at ") + where);
    }
}

void ReadTree(HKEY key, REGSAM view, const std::wstring& path, RegistrySnapshot& snapshot) {
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestValueName = 0, largestData = 0;
    ThrowOnError("RegQueryInfoKeyW",
                 RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr,
                                  &values, &longestValueName, &largestData, nullptr, nullptr));
    std::wstring name(std::max(longestSubkey, longestValueName) + 1, L'\0');
    std::vector<BYTE> data(largestData);
    KeyValues& read = snapshot[path];
    for (DWORD index = 0; index < values; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = largestData;
        DWORD type = REG_NONE;
        ThrowOnError("RegEnumValueW", RegEnumValueW(key, index, name.data(), &nameLength, nullptr,
                                                    &type, data.data(), &size));
        read[name.substr(0, nameLength)] = {type, {data.begin(), data.begin() + size}};
    }
    for (DWORD index = 0; index < subkeys; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        ThrowOnError("RegEnumKeyExW", RegEnumKeyExW(key, index, name.data(), &length, nullptr,
                                                    nullptr, nullptr, nullptr));
        const std::wstring subkeyName = name.substr(0, length);
        if (Skipped(path + L"\\" + subkeyName)) continue;
        ReadSubtree(key, subkeyName, view, path + L"\\" + subkeyName, snapshot);
    }
}

// Reads the key at a path of the whole registry, if it exists.
void ReadPath(const std::wstring& path, RegistrySnapshot& snapshot) {
    const std::wstring root = path.substr(0, path.find(L'\\'));
    const REGSAM view = root == L"HKLM(64)"   ? KEY_WOW64_64KEY
                        : root == L"HKLM(32)" ? KEY_WOW64_32KEY
                                              : 0;
    HKEY key = nullptr;
    const LSTATUS status =
        RegOpenKeyExW(root == L"HKCU" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                      path.substr(root.size() + 1).c_str(), 0, KEY_READ | view, &key);
    if (status == ERROR_FILE_NOT_FOUND) return;
    ThrowOnError("RegOpenKeyExW", status);
    ReadTree(UniqueHkey(key).get(), view, path, snapshot);
}

}  // namespace

std::wstring SnapshotPath(Root root, const std::wstring& fullKeyName, SnapshotScope scope) {
    std::wstring path = root == Root::kUser        ? L"HKCU"
                        : root == Root::kMachine32 ? L"HKLM(32)"
                                                   : L"HKLM(64)";
    if (scope != SnapshotScope::kUninstallKeys) path += std::wstring(L"\\") + kUninstallPath;
    return fullKeyName.empty() ? path : path + L"\\" + fullKeyName;
}

RegistrySnapshot TakeRegistrySnapshot(SnapshotScope scope, const std::vector<std::wstring>& named) {
    RegistrySnapshot snapshot;
    if (scope == SnapshotScope::kNamedKeys) {
        for (const Root root : kRoots) ReadPath(SnapshotPath(root, {}, scope), snapshot);
        for (const auto& path : named) ReadPath(path, snapshot);
        return snapshot;
    }
    if (scope == SnapshotScope::kWholeRegistry) {
        // The 64-bit view of HKLM holds the 32-bit one's keys too, under
        // Software\Wow6432Node; read through the 32-bit view they show under
        // their own names, as a 32-bit program sees them.
        ReadSubtree(HKEY_LOCAL_MACHINE, L"", KEY_WOW64_64KEY, L"HKLM(64)", snapshot);
        ReadSubtree(HKEY_LOCAL_MACHINE, L"Software", KEY_WOW64_32KEY, L"HKLM(32)\\Software",
                    snapshot);
        ReadSubtree(HKEY_CURRENT_USER, L"", 0, L"HKCU", snapshot);
        return snapshot;
    }
    for (const Root root : kRoots) {
        const UniqueHkey uninstall = OpenUninstallKey(root);
        if (uninstall) ReadTree(uninstall.get(), ViewOf(root), SnapshotPath(root), snapshot);
    }
    return snapshot;
}

std::vector<std::wstring> SnapshotDifferences(const RegistrySnapshot& expected,
                                              const RegistrySnapshot& actual) {
    std::vector<std::wstring> lines;
    for (const auto& [path, values] : expected) {
        if (!actual.contains(path)) lines.push_back(L"missing: " + path);
        if (actual.contains(path) && actual.at(path) != values)
            lines.push_back(L"changed: " + path);
    }
    for (const auto& [path, values] : actual) {
        if (!expected.contains(path)) lines.push_back(L"unexpected: " + path);
    }
    return lines;
}

RegistrySnapshot ExpectedAfter(RegistrySnapshot before, const std::wstring& removedPath,
                               SnapshotScope scope) {
    if (!removedPath.empty()) {
        std::erase_if(before, [&](const auto& key) {
            return key.first == removedPath || key.first.starts_with(removedPath + L"\\");
        });
    }
    for (const Root root : kRoots) before.try_emplace(SnapshotPath(root, {}, scope));
    return before;
}

}  // namespace velmora::e2e
