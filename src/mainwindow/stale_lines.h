// Which lines of the list are drawn as stale: those whose uninstaller the
// latest check found missing.  Each list gets a check of its own, numbered;
// the verdicts of an earlier list never reach a later one, whose slots may
// hold other entries.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/entries.h"
#include "catalogue/scan_result.h"
#include "platform/controls.h"
#include "platform/uninstaller_checks.h"

namespace velmora::mainwindow {

class StaleLines {
  public:
    StaleLines(platform::ListBox& list, platform::UninstallerChecks& checks)
        : list_(list), checks_(checks) {}

    // After the list was refilled, before it is redrawn: the lines whose
    // command line the last check found missing are noted at once, so that a
    // rescan does not flash them, and every line is checked anew.
    void Refilled(const catalogue::Entries& entries,
                  const std::vector<catalogue::ListedLine>& lines);
    // Verdicts of the check numbered generation; complete with the last.
    void Judged(std::uint32_t generation, const std::vector<platform::UninstallerVerdict>& verdicts,
                bool complete);
    // Whether every line of the latest list has its verdict.
    bool Complete() const { return complete_; }

  private:
    // A command line, and whether it was read from the 32-bit view.
    using Reading = std::pair<std::wstring, bool>;
    static Reading ReadingOf(const catalogue::UninstallEntry& entry);

    platform::ListBox& list_;
    platform::UninstallerChecks& checks_;
    const catalogue::Entries* entries_ = nullptr;
    std::uint32_t generation_ = 0;
    bool complete_ = false;
    std::map<Reading, bool> missing_;  // the latest verdict on each reading listed
    std::vector<bool> noted_;          // by slot: drawn as stale now
};

}  // namespace velmora::mainwindow
