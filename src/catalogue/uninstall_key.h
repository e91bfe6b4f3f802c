// The Uninstall key of a root, and the one way the program opens it.
#pragma once

#include <cstdint>

#include "platform/registry.h"

namespace velmora::catalogue {

inline constexpr char kUninstallPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Opens root's Uninstall key with samDesired (plus the view flags), creating
// it when absent.  Both the scan and the delete command go through here.
platform::RegStatus OpenUninstallKey(platform::Registry& registry, std::uint32_t root,
                                     std::uint32_t samDesired, std::uint32_t view,
                                     platform::RegHandle* key);

}  // namespace velmora::catalogue
