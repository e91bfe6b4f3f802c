#include "registry_seed.h"

#include <array>
#include <stdexcept>

#include "handles.h"

namespace velmora::e2e {
namespace {

constexpr Root kRoots[] = {Root::kMachine, Root::kUser};

std::wstring UninstallSubkeyPath(const std::wstring& fullKeyName) {
    return std::wstring(kUninstallPath) + L"\\" + fullKeyName;
}

void Fail(const char* what, LSTATUS status) {
    throw std::runtime_error(std::string(what) + " failed with status " + std::to_string(status));
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    const LSTATUS status =
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    if (status != ERROR_SUCCESS) Fail("RegSetValueExW", status);
}

UniqueHkey CreateKey(Root root, const std::wstring& path) {
    UniqueHkey key;
    const LSTATUS status = RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
    if (status != ERROR_SUCCESS) Fail("RegCreateKeyExW", status);
    return key;
}

std::vector<std::wstring> SubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
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
    UniqueHkey uninstall;
    if (RegOpenKeyExW(RootKey(root), kUninstallPath, 0, KEY_READ, uninstall.Receive()) !=
        ERROR_SUCCESS) {
        return;
    }
    for (const auto& name : SubkeyNames(uninstall.Get())) {
        if (name.starts_with(kSeedKeyPrefix)) {
            RegDeleteTreeW(RootKey(root), UninstallSubkeyPath(name).c_str());
        }
    }
}

}  // namespace

HKEY RootKey(Root root) { return root == Root::kMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

const wchar_t* RootArgument(Root root) { return root == Root::kMachine ? L"HKLM" : L"HKCU"; }

std::wstring SeedKeyName(const std::wstring& keyName) { return kSeedKeyPrefix + keyName; }

RegistrySeed::RegistrySeed() {
    for (const Root root : kRoots) RemoveSeededKeys(root);
}

RegistrySeed::~RegistrySeed() {
    for (const auto& [root, name] : created_) {
        RegDeleteTreeW(RootKey(root), UninstallSubkeyPath(name).c_str());
    }
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

bool UninstallKeyExists(Root root, const std::wstring& fullKeyName) {
    UniqueHkey key;
    return RegOpenKeyExW(RootKey(root), UninstallSubkeyPath(fullKeyName).c_str(), 0, KEY_READ,
                         key.Receive()) == ERROR_SUCCESS;
}

std::vector<std::wstring> ListableNames() {
    std::vector<std::wstring> names;
    for (const Root root : kRoots) {
        UniqueHkey uninstall;
        if (RegOpenKeyExW(RootKey(root), kUninstallPath, 0, KEY_READ, uninstall.Receive()) !=
            ERROR_SUCCESS) {
            continue;
        }
        for (const auto& subkeyName : SubkeyNames(uninstall.Get())) {
            UniqueHkey entry;
            if (RegOpenKeyExW(uninstall.Get(), subkeyName.c_str(), 0, KEY_READ, entry.Receive()) !=
                ERROR_SUCCESS) {
                continue;
            }
            auto displayName = ReadText(entry.Get(), L"DisplayName");
            if (!displayName.empty() && !ReadText(entry.Get(), L"UninstallString").empty()) {
                names.push_back(std::move(displayName));
            }
        }
    }
    return names;
}

}  // namespace velmora::e2e
