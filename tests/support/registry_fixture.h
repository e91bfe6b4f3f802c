// An in-memory registry and its code page (932 unless chosen), with helpers
// to seed Uninstall entries.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "catalogue/uninstall_key.h"
#include "support/memory/iconv_code_page.h"
#include "support/memory/memory_registry.h"

namespace velmora::testing {

using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

class RegistryFixture {
  public:
    explicit RegistryFixture(unsigned codePageNumber = 932)
        : registry(codePageNumber), codePage(codePageNumber) {}

    platform::memory::MemoryRegistry registry;
    platform::memory::IconvCodePage codePage;

    // The text in the fixture's code page.
    std::string Sjis(std::wstring_view text) const { return codePage.ToNarrow(text); }

    std::string KeyPath(std::wstring_view keyName) const {
        return std::string(catalogue::kUninstallPath) + "\\" + Sjis(keyName);
    }

    // An Uninstall subkey with the values given; an absent value is not set.
    // The key's name may hold characters the code page lacks.
    void AddEntry(std::uint32_t root, std::wstring_view keyName,
                  const std::optional<std::wstring>& displayName,
                  const std::optional<std::wstring>& uninstallString) {
        const std::wstring path =
            codePage.ToWide(catalogue::kUninstallPath) + L"\\" + std::wstring(keyName);
        registry.AddKey(root, path);
        for (const auto& [name, text] : {std::pair{"DisplayName", &displayName},
                                         std::pair{"UninstallString", &uninstallString}}) {
            if (!*text) continue;
            const std::string bytes = Sjis(**text);
            std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
            data.push_back(0);
            registry.SetValue(root, path, name, platform::kRegSz, std::move(data));
        }
    }

    bool EntryExists(std::uint32_t root, std::wstring_view keyName) const {
        return registry.KeyExists(root, KeyPath(keyName));
    }
};

inline const std::string kUninstall32Path =
    "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Separate machine views, each with one entry of its own and one named Same,
// and one entry in the user's key.
inline void SeedBothViews(RegistryFixture& f) {
    f.registry.SetSeparateViews(true);
    f.AddEntry(kHKeyLocalMachine, L"Same", L"Same", L"C:\\64\\un.exe");
    f.AddEntry(kHKeyLocalMachine, L"Only64", L"Only 64", L"64.exe");
    for (const auto& [key, name, command] : {std::tuple{"Same", "Same", "C:\\32\\un.exe"},
                                             std::tuple{"Only32", "Only 32", "32.exe"}}) {
        const std::string path = kUninstall32Path + "\\" + key;
        f.registry.AddKey(kHKeyLocalMachine, path);
        f.registry.SetString(kHKeyLocalMachine, path, "DisplayName", name);
        f.registry.SetString(kHKeyLocalMachine, path, "UninstallString", command);
    }
    f.AddEntry(kHKeyCurrentUser, L"User", L"User", L"u.exe");
}

}  // namespace velmora::testing
