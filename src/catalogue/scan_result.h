// What one list scan found: the lines to show, the passes whose root did not
// open, and whether the scan stopped before its last pass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/scan_pass.h"

namespace velmora::catalogue {

// A listed entry: its trimmed display name and the table slot it fills.
struct ListedLine {
    std::wstring displayName;
    std::int16_t slot;
    bool operator==(const ListedLine&) const = default;
};

struct ScanResult {
    std::vector<ListedLine> lines;       // in table order, slots rising
    std::vector<ScanPass> failedPasses;  // in pass order; a root may fail in several views
    bool endedEarly = false;             // a root that ends the scan did not open
};

}  // namespace velmora::catalogue
