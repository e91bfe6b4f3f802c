#include "registry_snapshot.h"

#include <algorithm>
#include <stdexcept>

namespace velmora::e2e {
namespace {

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
        HKEY subkey = nullptr;
        ThrowOnError("RegOpenKeyExW",
                     RegOpenKeyExW(key, subkeyName.c_str(), 0, KEY_READ | view, &subkey));
        ReadTree(UniqueHkey(subkey).get(), view, path + L"\\" + subkeyName, snapshot);
    }
}

}  // namespace

std::wstring SnapshotPath(Root root, const std::wstring& fullKeyName) {
    const std::wstring path = root == Root::kUser        ? L"HKCU"
                              : root == Root::kMachine32 ? L"HKLM(32)"
                                                         : L"HKLM(64)";
    return fullKeyName.empty() ? path : path + L"\\" + fullKeyName;
}

RegistrySnapshot TakeRegistrySnapshot() {
    RegistrySnapshot snapshot;
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
