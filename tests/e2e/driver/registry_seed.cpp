#include "registry_seed.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <stdexcept>

namespace velmora::e2e {
namespace {

constexpr wchar_t kUninstallPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kSeedKeyPrefix[] = L"VelmoraE2E-";

std::wstring UninstallSubkeyPath(const std::wstring& name) {
    return name.empty() ? kUninstallPath : std::wstring(kUninstallPath) + L"\\" + name;
}

UniqueHkey CreateKey(Root root, const std::wstring& name) {
    HKEY key = nullptr;
    ThrowOnError("RegCreateKeyExW",
                 RegCreateKeyExW(RootKey(root), UninstallSubkeyPath(name).c_str(), 0, nullptr, 0,
                                 KEY_ALL_ACCESS | ViewOf(root), nullptr, &key, nullptr));
    return UniqueHkey(key);
}

std::vector<std::wstring> SubkeyNames(HKEY key, DWORD limit = MAXDWORD) {
    std::vector<std::wstring> names;
    std::array<wchar_t, 256> name{};
    for (DWORD index = 0, length = 256; index < limit; ++index, length = 256) {
        if (RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name.data(), length);
    }
    return names;
}

std::wstring ReadText(HKEY key, const wchar_t* name) {
    std::array<wchar_t, 1024> buffer{};
    DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()),
                         &bytes) != ERROR_SUCCESS) {
        return {};
    }
    return Trimmed(buffer.data());
}

void RemoveSeededKeys() {
    for (const Root root : kRoots) {
        const UniqueHkey uninstall = OpenUninstallKey(root, {}, KEY_ALL_ACCESS);
        if (!uninstall) continue;
        for (const auto& name : SubkeyNames(uninstall.get())) {
            if (name.starts_with(kSeedKeyPrefix)) RegDeleteTreeW(uninstall.get(), name.c_str());
        }
    }
}

}  // namespace

void ThrowOnError(const char* what, LSTATUS status) {
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error(std::string(what) + " failed with status " +
                                 std::to_string(status));
    }
}

std::vector<BYTE> Utf16(std::wstring_view text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
    std::vector<BYTE> data(bytes, bytes + text.size() * sizeof(wchar_t));
    data.insert(data.end(), sizeof(wchar_t), 0);
    return data;
}

std::wstring ThroughCodePage(std::wstring_view text) {
    // At most four bytes a UTF-16 unit, in any code page.
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                     bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                     nullptr));
    std::wstring wide(bytes.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

HKEY RootKey(Root root) { return root == Root::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

REGSAM ViewOf(Root root) {
    return root == Root::kMachine     ? KEY_WOW64_64KEY
           : root == Root::kMachine32 ? KEY_WOW64_32KEY
                                      : 0;
}

UniqueHkey OpenUninstallKey(Root root, const std::wstring& name, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(RootKey(root), UninstallSubkeyPath(name).c_str(), 0, access | ViewOf(root),
                      &key) != ERROR_SUCCESS) {
        return {};
    }
    return UniqueHkey(key);
}

std::wstring SeedKeyName(const std::wstring& keyName) { return kSeedKeyPrefix + keyName; }

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

RegistrySeed::RegistrySeed() { RemoveSeededKeys(); }

RegistrySeed::~RegistrySeed() { RemoveSeededKeys(); }

void RegistrySeed::Add(const SeedEntry& entry) {
    if (entry.displayName) {
        AddValue(entry.root, entry.keyName, L"DisplayName", REG_SZ, Utf16(*entry.displayName));
    }
    if (entry.uninstallString) {
        AddValue(entry.root, entry.keyName, L"UninstallString", REG_SZ,
                 Utf16(*entry.uninstallString));
    }
}

void RegistrySeed::AddValue(Root root, const std::wstring& keyName, const wchar_t* valueName,
                            DWORD type, const std::vector<BYTE>& bytes) {
    const UniqueHkey key = CreateKey(root, SeedKeyName(keyName));
    // RegSetValueExW counts a NUL that happens to follow text data without
    // one: a guard that is not one keeps the bytes as given.
    std::vector<BYTE> guarded = bytes;
    guarded.insert(guarded.end(), 2, 0xFF);
    ThrowOnError("RegSetValueExW", RegSetValueExW(key.get(), valueName, 0, type, guarded.data(),
                                                  static_cast<DWORD>(bytes.size())));
}

bool RemoveUninstallKey(Root root, const std::wstring& fullKeyName) {
    const UniqueHkey uninstall = OpenUninstallKey(root, {}, KEY_ALL_ACCESS);
    return uninstall && RegDeleteTreeW(uninstall.get(), fullKeyName.c_str()) == ERROR_SUCCESS;
}

std::vector<std::wstring> ListableNames(Root root, DWORD subkeys) {
    std::vector<std::wstring> names;
    const UniqueHkey uninstall = OpenUninstallKey(root);
    if (!uninstall) return names;
    for (const auto& subkeyName : SubkeyNames(uninstall.get(), subkeys)) {
        const UniqueHkey entry = OpenUninstallKey(root, subkeyName);
        if (!entry || ThroughCodePage(subkeyName) != subkeyName) continue;
        auto displayName = Trimmed(ThroughCodePage(ReadText(entry.get(), L"DisplayName")));
        if (!displayName.empty() && !ReadText(entry.get(), L"UninstallString").empty()) {
            names.push_back(std::move(displayName));
        }
    }
    return names;
}

std::vector<std::wstring> ListableNames() {
    std::vector<std::wstring> names;
    for (const Root root : kRoots)
        std::ranges::move(ListableNames(root), std::back_inserter(names));
    return names;
}

}  // namespace velmora::e2e
