#include "mainwindow/zentrel_form.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "catalogue/checked_int16.h"
#include "catalogue/find_entry.h"
#include "catalogue/trim.h"
#include "mainwindow/list_update.h"
#include "mainwindow/messages.h"
#include "windowing/center_form.h"

namespace velmora::mainwindow {

ZentrelForm::ZentrelForm(const ZentrelFormPlatform& platform,
                         std::vector<catalogue::ScanPass> passes)
    : platform_(platform),
      scan_(platform.registry, platform.wideRegistry, platform.codePage, passes),
      watch_(platform.registry, platform.uninstallKeysChanged, std::move(passes)),
      staleLines_(platform.uninstallList, platform.uninstallerChecks) {}

void ZentrelForm::Form_Load() {
    SharedModule::CenterForm(platform_.screen, platform_.window);
    追加と削除の一覧検索();
}

void ZentrelForm::Form_Paint() { RescanIfArmed(); }

// Desktop composition keeps a covered window's picture and sends no repaint
// when the uninstaller's window closes; a silent uninstaller covers nothing.
// A change of the keys themselves stands in for the repaint that never came.
void ZentrelForm::UninstallKeys_Change() {
    if (refreshOnPaint_ <= 0) return;
    const std::vector<catalogue::ListedLine> before = listed_;
    const int selected = platform_.uninstallList.SelectedIndex();
    try {
        追加と削除の一覧検索();
    } catch (...) {
        // The list it showed is gone.
        SpendUnitOnChange();
        throw;
    }
    // Only a change the list shows spends a unit.  Most Windows Installer
    // products write a key that is never listed, and a bundle removes several
    // of them before its own: those would spend every unit first.
    if (!std::ranges::equal(before, listed_, {}, &catalogue::ListedLine::displayName,
                            &catalogue::ListedLine::displayName)) {
        SpendUnitOnChange();
        return;
    }
    // The same lines in the same order: the selected one is selected again,
    // and its command line shown from the slot it carries now (a hidden key
    // removed before it moves the slots that follow).
    if (selected == -1) return;
    platform_.uninstallList.SetSelectedIndex(selected);
    UninstallList_Click();
}

void ZentrelForm::SpendUnitOnChange() {
    // A repaint nested in the rescan may have taken the last unit already.
    if (refreshOnPaint_ <= 0) return;
    refreshOnPaint_ = catalogue::CheckedSub(refreshOnPaint_, 1);
    if (refreshOnPaint_ == 0) watch_.Stop();
}

void ZentrelForm::UninstallerChecks_Done(std::uint32_t generation,
                                         const std::vector<platform::UninstallerVerdict>& verdicts,
                                         bool complete) {
    // Never a rescan: while rescans are armed, one here would bring new
    // verdicts, and those another rescan.
    staleLines_.Judged(generation, verdicts, complete);
}

void ZentrelForm::RescanIfArmed() {
    if (refreshOnPaint_ <= 0) return;
    // Lowered before the scan: a repaint nested inside the scan's message box
    // can only rescan by taking a unit of its own.
    refreshOnPaint_ = catalogue::CheckedSub(refreshOnPaint_, 1);
    追加と削除の一覧検索();
}

void ZentrelForm::UninstallList_Click() {
    const auto line = Selection();
    if (!line) return;
    const std::int16_t slot = SlotOf(*line);
    // A line without a slot leaves the box as it is and reads nothing.
    if (slot == entryCount_) return;
    platform_.uninstallStringText.SetText(catalogue::Trim(entries_.at(slot).UninstallString));
}

void ZentrelForm::UninstallList_DblClick() { AddAndDelCommand_Click(); }

void ZentrelForm::UpdateCommand_Click() { 追加と削除の一覧検索(); }

void ZentrelForm::VersionCommand_Click() { platform_.versionForm.ShowModal(); }

void ZentrelForm::EndCommand_Click() { platform_.application.End(); }

void ZentrelForm::追加と削除の一覧検索() {
    // The list is rebuilt without a redraw per line and repainted once.  No
    // message loop runs while the registry is read, so it is cleared and
    // filled afterwards and nothing can look at it in between.
    const auto refill = [this](std::vector<catalogue::ListedLine> lines) {
        platform::ListBox& list = platform_.uninstallList;
        const ListUpdate update(list);
        listed_.clear();
        list.Clear();
        for (const catalogue::ListedLine& line : lines) list.AddLine(line.displayName, line.slot);
        staleLines_.Refilled(entries_, lines);
        listed_ = std::move(lines);
    };
    // Watched anew before the keys are read: a change made while they are
    // read is reported, and rescanned, rather than lost.  One made before,
    // such as this program's own deletion, is not reported again.
    FollowUninstallKeys();
    catalogue::ScanResult result;
    try {
        result = scan_.Run(entries_, entryCount_);
    } catch (...) {
        // A scan that fails half-way has rewritten part of the table: no
        // line of the last list may stay to be acted on.
        refill({});
        throw;
    }
    refill(std::move(result.lines));
    // Only once the list redraws again: one message per root that did not open.
    const std::size_t boxes = result.FailedRoots().size();
    for (std::size_t i = 0; i < boxes; ++i)
        platform_.messages.Show(kScanFailedMessage, platform::kMbOk);
    if (!result.EndedEarly()) platform_.uninstallStringText.SetText(L"");
}

void ZentrelForm::FollowUninstallKeys() {
    if (refreshOnPaint_ > 0) {
        watch_.Restart();
    } else {
        watch_.Stop();
    }
}

std::optional<ZentrelForm::SelectedLine> ZentrelForm::Selection() const {
    const int index = platform_.uninstallList.SelectedIndex();
    if (index == -1) return std::nullopt;
    return SelectedLine{platform_.uninstallList.LineText(index),
                        platform_.uninstallList.LineSlot(index)};
}

std::int16_t ZentrelForm::SlotOf(const SelectedLine& line) const {
    return catalogue::FindEntryByDisplayName(entries_, entryCount_, line.text, line.slot);
}

}  // namespace velmora::mainwindow
