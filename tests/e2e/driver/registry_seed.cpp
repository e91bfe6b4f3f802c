#include "registry_seed.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "handles.h"

namespace velmora::e2e {
namespace {

std::wstring UninstallSubkeyPath(const std::wstring& fullKeyName) {
    return std::wstring(kUninstallPath) + L"\\" + fullKeyName;
}

void Fail(const char* what, LSTATUS status) {
    throw std::runtime_error(std::string(what) + " failed with status " + std::to_string(status));
}

void SetValue(HKEY key, const wchar_t* name, DWORD type, const BYTE* bytes, size_t size) {
    const LSTATUS status = RegSetValueExW(key, name, 0, type, bytes, static_cast<DWORD>(size));
    if (status != ERROR_SUCCESS) Fail("RegSetValueExW", status);
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
    SetValue(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
             (text.size() + 1) * sizeof(wchar_t));
}

UniqueHkey CreateKey(Root root, const std::wstring& path) {
    UniqueHkey key;
    const LSTATUS status =
        RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | ViewOf(root),
                        nullptr, key.Receive(), nullptr);
    if (status != ERROR_SUCCESS) Fail("RegCreateKeyExW", status);
    return key;
}

// The root's Uninstall key, or an empty owner when it cannot be opened (the
// call leaves the handle null then).
UniqueHkey OpenUninstallKey(Root root, REGSAM access) {
    UniqueHkey key;
    RegOpenKeyExW(RootKey(root), kUninstallPath, 0, access | ViewOf(root), key.Receive());
    return key;
}

std::vector<std::wstring> SubkeyNames(HKEY key, DWORD limit = MAXDWORD) {
    std::vector<std::wstring> names;
    for (DWORD index = 0; index < limit; ++index) {
        std::array<wchar_t, 256> name{};
        DWORD length = static_cast<DWORD>(name.size());
        const LSTATUS status =
            RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

std::wstring Trimmed(std::wstring text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

std::wstring ReadText(HKEY key, const wchar_t* name) {
    std::array<wchar_t, 1024> buffer{};
    DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &bytes) != ERROR_SUCCESS) {
        return {};
    }
    return Trimmed(buffer.data());
}

void RemoveSeededKeys(Root root) {
    const UniqueHkey uninstall = OpenUninstallKey(root, KEY_ALL_ACCESS);
    if (!uninstall) return;
    for (const auto& name : SubkeyNames(uninstall.Get())) {
        if (name.starts_with(kSeedKeyPrefix)) RegDeleteTreeW(uninstall.Get(), name.c_str());
    }
}

}  // namespace

HKEY RootKey(Root root) { return root == Root::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

REGSAM ViewOf(Root root) {
    switch (root) {
        case Root::kMachine:
            return KEY_WOW64_64KEY;
        case Root::kMachine32:
            return KEY_WOW64_32KEY;
        case Root::kUser:
            break;
    }
    return 0;
}

const wchar_t* RootArgument(Root root) { return root == Root::kUser ? L"HKCU" : L"HKLM"; }

std::wstring SeedKeyName(const std::wstring& keyName) { return kSeedKeyPrefix + keyName; }

RegistrySeed::RegistrySeed() {
    for (const Root root : kRoots) RemoveSeededKeys(root);
}

RegistrySeed::~RegistrySeed() {
    for (const auto& [root, name] : created_) RemoveUninstallKey(root, name);
}

void RegistrySeed::Add(const SeedEntry& entry) {
    const std::wstring name = SeedKeyName(entry.keyName);
    const UniqueHkey key = CreateKey(entry.root, UninstallSubkeyPath(name));
    created_.emplace_back(entry.root, name);
    if (entry.displayName) SetText(key.Get(), L"DisplayName", *entry.displayName);
    if (entry.uninstallString) SetText(key.Get(), L"UninstallString", *entry.uninstallString);
}

void RegistrySeed::AddSubkey(Root root, const std::wstring& keyName,
                             const std::wstring& subkeyName) {
    const UniqueHkey key =
        CreateKey(root, UninstallSubkeyPath(SeedKeyName(keyName)) + L"\\" + subkeyName);
    SetText(key.Get(), L"Note", L"a subkey of an uninstall entry");
}

void RegistrySeed::AddValue(Root root, const std::wstring& keyName, const wchar_t* valueName,
                            DWORD type, const std::vector<BYTE>& bytes) {
    const std::wstring name = SeedKeyName(keyName);
    const UniqueHkey key = CreateKey(root, UninstallSubkeyPath(name));
    if (std::ranges::find(created_, std::pair{root, name}) == created_.end()) {
        created_.emplace_back(root, name);
    }
    SetValue(key.Get(), valueName, type, bytes.data(), bytes.size());
}

bool UninstallKeyExists(Root root, const std::wstring& fullKeyName) {
    UniqueHkey key;
    return RegOpenKeyExW(RootKey(root), UninstallSubkeyPath(fullKeyName).c_str(), 0,
                         KEY_READ | ViewOf(root), key.Receive()) == ERROR_SUCCESS;
}

bool RemoveUninstallKey(Root root, const std::wstring& fullKeyName) {
    const UniqueHkey uninstall = OpenUninstallKey(root, KEY_ALL_ACCESS);
    return uninstall && RegDeleteTreeW(uninstall.Get(), fullKeyName.c_str()) == ERROR_SUCCESS;
}

std::vector<std::wstring> ListableNames(Root root, DWORD subkeys) {
    std::vector<std::wstring> names;
    const UniqueHkey uninstall = OpenUninstallKey(root, KEY_READ);
    if (!uninstall) return names;
    for (const auto& subkeyName : SubkeyNames(uninstall.Get(), subkeys)) {
        UniqueHkey entry;
        if (RegOpenKeyExW(uninstall.Get(), subkeyName.c_str(), 0, KEY_READ | ViewOf(root),
                          entry.Receive()) != ERROR_SUCCESS) {
            continue;
        }
        auto displayName = ReadText(entry.Get(), L"DisplayName");
        if (!displayName.empty() && !ReadText(entry.Get(), L"UninstallString").empty()) {
            names.push_back(std::move(displayName));
        }
    }
    return names;
}

std::vector<std::wstring> ListableNames() {
    std::vector<std::wstring> names;
    for (const Root root : kRoots) {
        for (auto& name : ListableNames(root, MAXDWORD)) names.push_back(std::move(name));
    }
    return names;
}

}  // namespace velmora::e2e
