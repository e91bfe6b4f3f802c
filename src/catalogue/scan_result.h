// What one list scan found: the lines to show, the passes whose root did not
// open, and whether the scan stopped before its last pass.
#pragma once

#include <algorithm>
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

    // A root that ends the scan did not open: the scan stops at the first
    // such pass, so it is the last one recorded.
    bool EndedEarly() const {
        return !failedPasses.empty() && failedPasses.back().endsScanOnFailure;
    }
    // The roots that did not open, each once: the two machine views are one
    // root to the user.
    std::vector<std::uint32_t> FailedRoots() const {
        std::vector<std::uint32_t> roots;
        for (const ScanPass& pass : failedPasses) {
            if (std::find(roots.begin(), roots.end(), pass.root) == roots.end())
                roots.push_back(pass.root);
        }
        return roots;
    }
};

}  // namespace velmora::catalogue
