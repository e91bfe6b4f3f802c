// The delete command: after the user confirms, removes the selected entry's
// subkey from its Uninstall key and rescans.
#include "catalogue/uninstall_key.h"
#include "mainwindow/messages.h"
#include "mainwindow/zentrel_form.h"
#include "platform/registry_key.h"

namespace velmora::mainwindow {

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
    // An empty name would make some systems delete the opened key itself,
    // that is the whole Uninstall key.
    if (entry.KeyName.empty() || platform_.registry.RegDeleteKeyA(
                                     opened, platform_.codePage.ToNarrow(entry.KeyName).c_str()) !=
                                     platform::kErrorSuccess) {
        platform_.messages.Show(kDeleteFailedMessage, platform::kMbOk);
    }
    key.Close();

    追加と削除の一覧検索();
}

}  // namespace velmora::mainwindow
