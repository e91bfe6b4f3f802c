// An in-memory registry and code page 932, with helpers to seed Uninstall
// entries.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "catalogue/uninstall_key.h"
#include "support/memory/iconv_code_page.h"
#include "support/memory/memory_registry.h"

namespace velmora::testing {

using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

class RegistryFixture {
  public:
    platform::memory::MemoryRegistry registry;
    platform::memory::IconvCodePage codePage{932};

    // The text in code page 932.
    std::string Sjis(std::wstring_view text) const { return codePage.ToNarrow(text); }

    std::string KeyPath(std::wstring_view keyName) const {
        return std::string(catalogue::kUninstallPath) + "\\" + Sjis(keyName);
    }

    // An Uninstall subkey with the values given; an absent value is not set.
    void AddEntry(std::uint32_t root, std::wstring_view keyName,
                  const std::optional<std::wstring>& displayName,
                  const std::optional<std::wstring>& uninstallString) {
        registry.AddKey(root, KeyPath(keyName));
        if (displayName) {
            registry.SetString(root, KeyPath(keyName), "DisplayName", Sjis(*displayName));
        }
        if (uninstallString) {
            registry.SetString(root, KeyPath(keyName), "UninstallString", Sjis(*uninstallString));
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
