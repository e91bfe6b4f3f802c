// A main window wired to an in-memory registry and fake controls.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "mainwindow/zentrel_form.h"
#include "support/fake_controls.h"
#include "support/memory/memory_backup_folder.h"
#include "support/memory/memory_wide_registry.h"
#include "support/registry_fixture.h"

namespace velmora::testing {

// A 1024 x 768 pixel screen at 15 twips a pixel.
inline constexpr float kScreenWidthTwips = 1024 * 15;
inline constexpr float kScreenHeightTwips = 768 * 15;

class FormFixture : public RegistryFixture {
  public:
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
    FakeChangeSignal changes;
    FakeUninstallerChecks checks;
    mainwindow::ZentrelForm form{Platform()};

    // Everything above, for a main window of a test's own.
    mainwindow::ZentrelFormPlatform Platform() {
        return {registry, codePage,    list,        text,         messages, processes, screen,
                window,   versionForm, application, wideRegistry, backups,  changes,   checks};
    }

    // What the window does when the change signal's event is set: tells
    // the form once.  False when nothing was to be told.
    bool DeliverChange(mainwindow::ZentrelForm& to) {
        if (!changes.listening || !registry.EventIsSet(changes.event)) return false;
        changes.listening = false;
        to.UninstallKeys_Change();
        return true;
    }

    // What the window does when the latest check's verdicts arrive: all of
    // them at once, each line judged `verdict` unless `exceptions` says else.
    void DeliverVerdicts(mainwindow::ZentrelForm& to, platform::Verdict verdict,
                         const std::map<std::int16_t, platform::Verdict>& exceptions = {}) {
        std::vector<platform::UninstallerVerdict> verdicts;
        for (const auto& entry : checks.requests.back().entries) {
            const auto other = exceptions.find(entry.slot);
            verdicts.push_back({entry.slot, other == exceptions.end() ? verdict : other->second});
        }
        to.UninstallerChecks_Done(checks.requests.back().generation, verdicts, true);
    }

    // Selects a listed line by its text; fails the test's expectations when
    // absent by leaving the selection at -1.
    void Select(const std::wstring& line, int occurrence = 0) { list.Select(line, occurrence); }
};

}  // namespace velmora::testing
