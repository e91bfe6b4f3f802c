// The passes of the list scan: which root is read in which registry view.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora::catalogue {

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

}  // namespace velmora::catalogue
