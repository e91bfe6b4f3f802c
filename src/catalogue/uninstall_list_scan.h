// The search of the add/remove list: reads both Uninstall keys and rebuilds
// the entry table and the list from them in one pass.
#pragma once

#include <cstdint>
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
    std::uint32_t view;
};

// HKEY_LOCAL_MACHINE, then HKEY_CURRENT_USER, each in the process's own view.
std::vector<ScanPass> DefaultScanPasses();

class UninstallListScan {
  public:
    UninstallListScan(platform::Registry& registry, const platform::CodePage& codePage,
                      platform::ListBox& list, platform::TextBox& commandLine,
                      platform::MessageBoxes& messages,
                      std::vector<ScanPass> passes = DefaultScanPasses());

    // Refills entries, entryCount and the list.  The command-line box is
    // emptied when every pass ran; a root that cannot be opened at all ends
    // the scan with a message.
    void Run(Entries& entries, std::int16_t& entryCount) const;

  private:
    enum class PassResult { kCompleted, kOpenFailed };
    PassResult RunPass(const ScanPass& pass, bool first, Entries& entries,
                       std::int16_t& entryCount) const;
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
