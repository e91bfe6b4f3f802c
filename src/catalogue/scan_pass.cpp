#include "catalogue/scan_pass.h"

#include "platform/registry.h"

namespace velmora::catalogue {

std::vector<ScanPass> ScanPasses(bool separateMachineViews) {
    if (!separateMachineViews) {
        return {{platform::kHKeyLocalMachine, 0, true}, {platform::kHKeyCurrentUser, 0, true}};
    }
    // One view that cannot be read must not hide what the others hold.
    return {{platform::kHKeyLocalMachine, platform::kKeyWow64_64Key, false},
            {platform::kHKeyLocalMachine, platform::kKeyWow64_32Key, false},
            {platform::kHKeyCurrentUser, 0, true}};
}

}  // namespace velmora::catalogue
