// A main window wired to an in-memory registry and fake controls, with
// helpers to seed Uninstall entries in code page 932.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "catalogue/uninstall_key.h"
#include "mainwindow/zentrel_form.h"
#include "support/fake_controls.h"
#include "support/memory/iconv_code_page.h"
#include "support/memory/memory_backup_folder.h"
#include "support/memory/memory_registry.h"
#include "support/memory/memory_wide_registry.h"

namespace velmora::testing {

using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

// A 1024 x 768 pixel screen at 15 twips a pixel.
inline constexpr float kScreenWidthTwips = 1024 * 15;
inline constexpr float kScreenHeightTwips = 768 * 15;

class FormFixture {
  public:
    platform::memory::MemoryRegistry registry;
    platform::memory::IconvCodePage codePage{932};
    FakeListBox list;
    FakeTextBox text;
    FakeMessageBoxes messages;
    FakeProcessStarter processes;
    FakeScreen screen{kScreenWidthTwips, kScreenHeightTwips};
    FakeFormWindow window{8745, 4140};
    FakeModalForm versionForm;
    FakeApplication application;
    platform::memory::MemoryWideRegistry wideRegistry{registry, codePage};
    platform::memory::MemoryBackupFolder backups;
    mainwindow::ZentrelForm form{Platform()};

    // Everything above, for a main window of a test's own.
    mainwindow::ZentrelFormPlatform Platform() {
        return {registry, codePage, list,        text,        messages,     processes,
                screen,   window,   versionForm, application, wideRegistry, backups};
    }

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

    // Selects a listed line by its text; fails the test's expectations when
    // absent by leaving the selection at -1.
    void Select(const std::wstring& line, int occurrence = 0) { list.Select(line, occurrence); }
};

}  // namespace velmora::testing
