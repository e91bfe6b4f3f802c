// The main window's state and event handlers, reaching the system only
// through the platform interfaces it is given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/entries.h"
#include "catalogue/scan_pass.h"
#include "catalogue/scan_result.h"
#include "catalogue/uninstall_list_scan.h"
#include "mainwindow/stale_lines.h"
#include "mainwindow/uninstall_key_watch.h"
#include "platform/application.h"
#include "platform/backup_folder.h"
#include "platform/change_signal.h"
#include "platform/code_page.h"
#include "platform/controls.h"
#include "platform/geometry.h"
#include "platform/process_starter.h"
#include "platform/registry.h"
#include "platform/uninstaller_checks.h"
#include "platform/wide_registry.h"

namespace velmora::mainwindow {

// Everything the main window reaches the system through.
struct ZentrelFormPlatform {
    platform::Registry& registry;
    const platform::CodePage& codePage;
    platform::ListBox& uninstallList;
    platform::TextBox& uninstallStringText;
    platform::MessageBoxes& messages;
    platform::ProcessStarter& processes;
    const platform::Screen& screen;
    platform::FormWindow& window;
    platform::ModalForm& versionForm;
    platform::Application& application;
    // The delete command saves an entry's subkey through these first.
    platform::WideRegistry& wideRegistry;
    platform::BackupFolder& backups;
    // Set while rescans are armed, when a subkey of an Uninstall key comes
    // or goes; the window then calls UninstallKeys_Change.
    platform::ChangeSignal& uninstallKeysChanged;
    // Judges every listed entry's uninstaller in the background; the window
    // hands the verdicts to UninstallerChecks_Done.
    platform::UninstallerChecks& uninstallerChecks;
};

inline constexpr std::int16_t kRescansAfterStart = 5;

class ZentrelForm {
  public:
    explicit ZentrelForm(const ZentrelFormPlatform& platform,
                         std::vector<catalogue::ScanPass> passes = catalogue::DefaultScanPasses());

    void Form_Load();
    void Form_Paint();
    // A subkey of a watched Uninstall key came or went: rescans while units
    // are armed, and spends one only when the listed lines changed.
    void UninstallKeys_Change();
    // Verdicts on the uninstallers of the list numbered generation; complete
    // with the last of them.  They only change how lines are drawn.
    void UninstallerChecks_Done(std::uint32_t generation,
                                const std::vector<platform::UninstallerVerdict>& verdicts,
                                bool complete);
    void UninstallList_Click();
    void UninstallList_DblClick();
    void UpdateCommand_Click();
    void ListDelCommand_Click();
    void AddAndDelCommand_Click();
    void VersionCommand_Click();
    void EndCommand_Click();

    // Rebuilds the entry table and the list from the registry, then tells of
    // the roots that did not open.
    void 追加と削除の一覧検索();

    const catalogue::Entries& Entries() const { return entries_; }
    std::int16_t EntryCount() const { return entryCount_; }
    std::int16_t RefreshOnPaint() const { return refreshOnPaint_; }
    // Whether every line of the list has its verdict.
    bool UninstallersJudged() const { return staleLines_.Complete(); }

  private:
    struct SelectedLine {
        std::wstring text;
        std::int16_t slot;
    };
    // The selected line of the list, or nothing when none is selected.
    std::optional<SelectedLine> Selection() const;
    // The table slot of a line, or EntryCount when it has none.
    std::int16_t SlotOf(const SelectedLine& line) const;
    // Takes one of the armed units, if any is left, for a rescan.
    void RescanIfArmed();
    // Watches the Uninstall keys anew while units are left; stops otherwise.
    void FollowUninstallKeys();
    // Spends a unit on a change the list showed; the last one ends the watch.
    void SpendUnitOnChange();
    // After a start that did not happen: takes back the units it armed; the
    // watch stays only for units an earlier start left.
    void TakeBackUnits(std::int16_t armed);

    ZentrelFormPlatform platform_;
    catalogue::UninstallListScan scan_;
    UninstallKeyWatch watch_;
    StaleLines staleLines_;
    catalogue::Entries entries_;
    std::int16_t entryCount_ = 0;
    std::int16_t refreshOnPaint_ = 0;
    // The lines the list was last filled with, in table order.
    std::vector<catalogue::ListedLine> listed_;
};

}  // namespace velmora::mainwindow
