// The search of the add/remove list: reads both Uninstall keys and rebuilds
// the entry table and the list from them in one pass.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "catalogue/entries.h"
#include "platform/code_page.h"
#include "platform/controls.h"
#include "platform/registry.h"

namespace velmora::catalogue {

inline constexpr wchar_t kScanFailedMessage[] = L"レジストリデータの取得に失敗しました。";

// One pass of the scan: a root, read in one registry view.
struct ScanPass {
    std::uint32_t root;
    std::uint32_t view;             // KEY_WOW64_* flags, or 0 for the process's own
    bool endsScanOnFailure = true;  // a root that cannot be opened ends the scan
};

// HKEY_LOCAL_MACHINE, then HKEY_CURRENT_USER.  Where the machine keys have a
// 64-bit and a 32-bit view, HKEY_LOCAL_MACHINE is read in both, 64-bit first.
std::vector<ScanPass> ScanPasses(bool separateMachineViews);
inline std::vector<ScanPass> DefaultScanPasses() { return ScanPasses(false); }

class UninstallListScan {
  public:
    UninstallListScan(platform::Registry& registry, const platform::CodePage& codePage,
                      platform::ListBox& list, platform::TextBox& commandLine,
                      platform::MessageBoxes& messages,
                      std::vector<ScanPass> passes = DefaultScanPasses());

    // Refills entries, entryCount and the list.  A root that cannot be opened
    // at all is reported once, however many of its views failed; it ends the
    // scan unless its pass is one machine view of several.  A subkey whose
    // enumerated name holds a '\' of its own is skipped like one that failed
    // to enumerate.  The command-line box is emptied when the scan ran to its
    // end.
    void Run(Entries& entries, std::int16_t& entryCount) const;

  private:
    // Lists one root's entries into the slots from base on; returns the
    // number of slots it covered, or nothing when the root did not open.
    std::optional<std::int16_t> RunPass(const ScanPass& pass, std::int16_t base,
                                        Entries& entries) const;
    void ReadSubkey(platform::RegHandle key, const ScanPass& pass, bool canDelete, int slot,
                    std::string_view enumeratedName, Entries& entries) const;

    platform::Registry& registry_;
    const platform::CodePage& codePage_;
    platform::ListBox& list_;
    platform::TextBox& commandLine_;
    platform::MessageBoxes& messages_;
    std::vector<ScanPass> passes_;
};

}  // namespace velmora::catalogue
