#include "catalogue/uninstall_key.h"

namespace velmora::catalogue {

platform::RegStatus OpenUninstallKey(platform::Registry& registry, std::uint32_t root,
                                     std::uint32_t samDesired, std::uint32_t view,
                                     platform::RegHandle* key) {
    // All zero: no security descriptor, not inheritable.
    const platform::SecurityAttributes noSecurity{};
    std::uint32_t disposition = 0;  // created or opened: nobody needs to know
    return registry.RegCreateKeyExA(root, kUninstallPath, 0, "0", 0, samDesired | view, &noSecurity,
                                    key, &disposition);
}

}  // namespace velmora::catalogue
