// The search of the add/remove list: reads both Uninstall keys, rebuilds the
// entry table from them in one pass, and gives back what is to be listed.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "catalogue/entries.h"
#include "catalogue/scan_pass.h"
#include "catalogue/scan_result.h"
#include "platform/code_page.h"
#include "platform/registry.h"
#include "platform/wide_registry.h"

namespace velmora::catalogue {

class UninstallListScan {
  public:
    // The wide registry shares the registry's handles; it only checks names.
    UninstallListScan(platform::Registry& registry, platform::WideRegistry& wideRegistry,
                      const platform::CodePage& codePage,
                      std::vector<ScanPass> passes = DefaultScanPasses());

    // Refills entries and entryCount and returns the lines they list.  A pass
    // whose root cannot be opened at all is recorded as failed; it ends the
    // scan unless it is one machine view of several.  A subkey whose 8-bit
    // name does not name exactly that subkey is skipped like one that failed
    // to enumerate: its slot is left alone.
    [[nodiscard]] ScanResult Run(Entries& entries, std::int16_t& entryCount) const;

  private:
    // Lists one root's entries into the slots from base on; returns the
    // number of slots it covered, or nothing when the root did not open.
    std::optional<std::int16_t> RunPass(const ScanPass& pass, std::int16_t base, Entries& entries,
                                        std::vector<ListedLine>& lines) const;
    // Whether the 8-bit name enumerated at index is the subkey's own name,
    // character for character.
    bool NamesExactlyTheSubkey(platform::RegHandle key, std::int16_t index,
                               std::string_view enumeratedName) const;
    void ReadSubkey(platform::RegHandle key, const ScanPass& pass, bool canDelete, int slot,
                    std::string_view enumeratedName, Entries& entries,
                    std::vector<ListedLine>& lines) const;

    platform::Registry& registry_;
    platform::WideRegistry& wideRegistry_;
    const platform::CodePage& codePage_;
    std::vector<ScanPass> passes_;
};

}  // namespace velmora::catalogue
