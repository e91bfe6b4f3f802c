// The run command: starts the selected entry's uninstaller and arms the
// rescans that let the list catch up with it.
#include <algorithm>

#include "catalogue/checked_int16.h"
#include "catalogue/trim.h"
#include "mainwindow/messages.h"
#include "mainwindow/zentrel_form.h"

namespace velmora::mainwindow {

void ZentrelForm::AddAndDelCommand_Click() {
    // The units this start arms, taken back when nothing starts.
    std::int16_t armed = 0;
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
        // Armed and watched from before the start: the start can run a
        // message loop (a consent or security prompt) that already handles a
        // change of the keys, and an uninstaller without a window can remove
        // its entry before the call returns.
        armed = catalogue::CheckedSub(kRescansAfterStart, refreshOnPaint_);
        refreshOnPaint_ = kRescansAfterStart;
        watch_.Restart();
        const platform::StartResult started =
            platform_.processes.Start(commandLine, platform_.window.NativeHandle(), scope);
        if (started != platform::StartResult::kStarted) {
            TakeBackUnits(armed);
            // A declined consent prompt is the user's answer, not a fault of
            // the entry: nothing to report, and nothing started to catch up with.
            if (started == platform::StartResult::kDeclined) return;
            platform_.messages.Show(started == platform::StartResult::kNoUnelevatedStart
                                        ? kNoUnelevatedStartMessage
                                        : kBadProgramMessage,
                                    platform::kMbOk);
            return;
        }
    } catch (...) {
        // Whatever went wrong on the way, the user learns that the program
        // could not be run; the counter keeps the value it had before.
        TakeBackUnits(armed);
        platform_.messages.Show(kBadProgramMessage, platform::kMbOk);
    }
}

void ZentrelForm::TakeBackUnits(std::int16_t armed) {
    // Changes handled during the start may have spent some of them already.
    refreshOnPaint_ = std::max(std::int16_t{0}, catalogue::CheckedSub(refreshOnPaint_, armed));
    if (refreshOnPaint_ <= 0) watch_.Stop();
}

}  // namespace velmora::mainwindow
