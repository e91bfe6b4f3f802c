// The delete command: after the user confirms, saves the selected entry's
// subkey to a registry file, removes it from its Uninstall key and rescans.
#include "backup/entry_backup.h"
#include "catalogue/uninstall_key.h"
#include "mainwindow/messages.h"
#include "mainwindow/zentrel_form.h"
#include "platform/registry_key.h"

namespace velmora::mainwindow {
namespace {

enum class Deletion { kDone, kNotBackedUp, kFailed };

// Saves the entry's subkey, then deletes it.  Nothing is deleted that has not
// first been written to a file, and a file whose deletion failed is taken
// back, so the folder holds only entries that are really gone, or files that
// say they are not.
Deletion BackUpAndDelete(const ZentrelFormPlatform& system, platform::RegHandle uninstallKey,
                         const catalogue::UninstallEntry& entry) {
    // An empty name would make some systems delete the opened key itself,
    // that is the whole Uninstall key.
    if (entry.KeyName.empty()) return Deletion::kFailed;
    const std::string name = system.codePage.ToNarrow(entry.KeyName);
    // The wide reading names the very key the 8-bit deletion will.
    const backup::SavedBackup saved =
        backup::SaveEntryBackup(system.wideRegistry, system.backups, uninstallKey, entry.RootKey,
                                entry.View, system.codePage.ToWide(name));
    // A key that is gone is a failed deletion, as the registry would say.
    if (saved.status == backup::BackupStatus::kEntryGone) return Deletion::kFailed;
    if (saved.status != backup::BackupStatus::kSaved) return Deletion::kNotBackedUp;
    // RegDeleteKeyA cannot reach an alternate view; the view flag goes along.
    if (system.registry.RegDeleteKeyExA(uninstallKey, name.c_str(), entry.View, 0) ==
        platform::kErrorSuccess) {
        return Deletion::kDone;
    }
    // The user is told of the failed deletion either way; a file that will
    // neither go nor take its new name is left rather than reported again.
    static_cast<void>(backup::TakeBackFile(system.backups, saved.file));
    return Deletion::kFailed;
}

}  // namespace

void ZentrelForm::ListDelCommand_Click() {
    const auto asked = Selection();
    if (!asked) {
        platform_.messages.Show(kSelectFirstMessage, platform::kMbOk);
        return;
    }
    const std::wstring question = kDeleteQuestionBefore + asked->text + kDeleteQuestionAfter;
    if (platform_.messages.Show(question, platform::kMbYesNoExclamation) == platform::kIdNo) {
        return;
    }

    // Looked up again after the answer: a repaint during the question may
    // have rescanned, and only what the list shows now may be acted on.
    const auto line = Selection();
    const std::int16_t slot = line ? SlotOf(*line) : entryCount_;
    if (slot == entryCount_) {
        platform_.messages.Show(kNoEntryMessage, platform::kMbOk);
        return;
    }
    const catalogue::UninstallEntry entry = entries_.at(slot);
    if (entry.CanDelete == catalogue::kFalse) {
        platform_.messages.Show(kNoRightsMessage, platform::kMbOk);
        return;
    }

    platform::RegHandle opened = 0;
    if (catalogue::OpenUninstallKey(platform_.registry, entry.RootKey, platform::kKeyFullAccess,
                                    entry.View, &opened) != platform::kErrorSuccess) {
        platform_.messages.Show(kOpenFailedMessage, platform::kMbOk);
        return;
    }
    platform::RegistryKey key(platform_.registry, opened);
    switch (BackUpAndDelete(platform_, opened, entry)) {
        case Deletion::kDone:
            break;
        case Deletion::kNotBackedUp: {
            // The folder it tried on a line of its own, when there is one.
            const std::wstring folder = platform_.backups.Location();
            platform_.messages.Show(
                kBackupFailedMessage + (folder.empty() ? std::wstring() : L"\n" + folder),
                platform::kMbOk);
            break;
        }
        case Deletion::kFailed:
            platform_.messages.Show(kDeleteFailedMessage, platform::kMbOk);
            break;
    }
    key.reset();

    追加と削除の一覧検索();
}

}  // namespace velmora::mainwindow
