// The run command: starts the selected entry's uninstaller and arms the
// rescans that let the list catch up with it.
#include "catalogue/trim.h"
#include "mainwindow/messages.h"
#include "mainwindow/zentrel_form.h"

namespace velmora::mainwindow {

void ZentrelForm::AddAndDelCommand_Click() {
    try {
        const auto line = Selection();
        if (!line) {
            platform_.messages.Show(kSelectFirstMessage, platform::kMbOk);
            return;
        }
        const std::int16_t slot = SlotOf(*line);
        if (slot == entryCount_) {
            platform_.messages.Show(kNoEntryMessage, platform::kMbOk);
            return;
        }
        const catalogue::UninstallEntry& entry = entries_.at(slot);
        const std::wstring commandLine = catalogue::Trim(entry.UninstallString);
        const platform::EntryScope scope = entry.RootKey == platform::kHKeyCurrentUser
                                               ? platform::EntryScope::kUser
                                               : platform::EntryScope::kMachine;
        // Watched from before the start: an uninstaller without a window can
        // remove its entry before this call returns.
        watch_.Restart();
        const platform::StartResult started =
            platform_.processes.Start(commandLine, platform_.window.NativeHandle(), scope);
        if (started != platform::StartResult::kStarted) {
            UnwatchUnlessArmed();
            // A declined consent prompt is the user's answer, not a fault of
            // the entry: nothing to report, and nothing started to catch up with.
            if (started == platform::StartResult::kDeclined) return;
            platform_.messages.Show(started == platform::StartResult::kNoUnelevatedStart
                                        ? kNoUnelevatedStartMessage
                                        : kBadProgramMessage,
                                    platform::kMbOk);
            return;
        }
        refreshOnPaint_ = kRescansAfterStart;
    } catch (...) {
        // Whatever went wrong on the way, the user learns that the program
        // could not be run; the counter keeps its value.
        UnwatchUnlessArmed();
        platform_.messages.Show(kBadProgramMessage, platform::kMbOk);
    }
}

}  // namespace velmora::mainwindow
