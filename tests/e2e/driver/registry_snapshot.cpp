#include "registry_snapshot.h"

#include <stdexcept>

#include "handles.h"

namespace velmora::e2e {
namespace {

void Fail(const char* what, LSTATUS status) {
    throw std::runtime_error(std::string("snapshot: ") + what + " failed with status " +
                             std::to_string(status));
}

KeyValues ReadValues(HKEY key, DWORD count, DWORD longestName, DWORD largestData) {
    KeyValues values;
    std::wstring name(longestName + 1, L'\0');
    std::vector<BYTE> data(largestData);
    for (DWORD index = 0; index < count; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LSTATUS status =
            RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (status != ERROR_SUCCESS) Fail("RegEnumValueW", status);
        values[name.substr(0, nameLength)] = {type, {data.begin(), data.begin() + size}};
    }
    return values;
}

void ReadTree(HKEY key, REGSAM view, const std::wstring& path, RegistrySnapshot& snapshot) {
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestValueName = 0, largestData = 0;
    LSTATUS status =
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                         &longestValueName, &largestData, nullptr, nullptr);
    if (status != ERROR_SUCCESS) Fail("RegQueryInfoKeyW", status);
    snapshot[path] = ReadValues(key, values, longestValueName, largestData);

    std::wstring name(longestSubkey + 1, L'\0');
    for (DWORD index = 0; index < subkeys; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        status =
            RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) Fail("RegEnumKeyExW", status);
        const std::wstring subkeyName = name.substr(0, length);
        UniqueHkey subkey;
        status = RegOpenKeyExW(key, subkeyName.c_str(), 0, KEY_READ | view, subkey.Receive());
        if (status != ERROR_SUCCESS) Fail("RegOpenKeyExW", status);
        ReadTree(subkey.Get(), view, path + L"\\" + subkeyName, snapshot);
    }
}

std::wstring Describe(const RegistryValue& value) {
    return L"type " + std::to_wstring(value.type) + L", " + std::to_wstring(value.bytes.size()) +
           L" bytes";
}

}  // namespace

std::wstring SnapshotPath(Root root, const std::wstring& fullKeyName) {
    std::wstring path = root == Root::kUser        ? L"HKCU"
                        : root == Root::kMachine32 ? L"HKLM(32)"
                                                   : L"HKLM(64)";
    if (!fullKeyName.empty()) path += L"\\" + fullKeyName;
    return path;
}

RegistrySnapshot TakeRegistrySnapshot() {
    RegistrySnapshot snapshot;
    for (const Root root : kRoots) {
        UniqueHkey uninstall;
        const LSTATUS status = RegOpenKeyExW(RootKey(root), kUninstallPath, 0,
                                             KEY_READ | ViewOf(root), uninstall.Receive());
        if (status == ERROR_FILE_NOT_FOUND) continue;
        if (status != ERROR_SUCCESS) Fail("RegOpenKeyExW of an Uninstall key", status);
        ReadTree(uninstall.Get(), ViewOf(root), SnapshotPath(root), snapshot);
    }
    return snapshot;
}

std::vector<std::wstring> SnapshotDifferences(const RegistrySnapshot& before,
                                              const RegistrySnapshot& after) {
    std::vector<std::wstring> lines;
    for (const auto& [path, values] : before) {
        const auto kept = after.find(path);
        if (kept == after.end()) {
            lines.push_back(L"key removed: " + path);
            continue;
        }
        for (const auto& [name, value] : values) {
            const auto now = kept->second.find(name);
            if (now == kept->second.end()) {
                lines.push_back(L"value removed: " + path + L" : " + name);
            } else if (!(now->second == value)) {
                lines.push_back(L"value changed: " + path + L" : " + name + L" (" +
                                Describe(value) + L" -> " + Describe(now->second) + L")");
            }
        }
        for (const auto& [name, value] : kept->second) {
            if (!values.contains(name)) lines.push_back(L"value added: " + path + L" : " + name);
        }
    }
    for (const auto& [path, values] : after) {
        if (!before.contains(path)) lines.push_back(L"key added: " + path);
    }
    return lines;
}

RegistrySnapshot ExpectedAfter(RegistrySnapshot before, const std::wstring& removedPath) {
    if (!removedPath.empty()) {
        std::erase_if(before, [&](const auto& key) {
            return key.first == removedPath || key.first.starts_with(removedPath + L"\\");
        });
    }
    for (const Root root : kRoots) before.try_emplace(SnapshotPath(root));
    return before;
}

}  // namespace velmora::e2e
