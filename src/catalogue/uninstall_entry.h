#pragma once

#include <cstdint>
#include <string>

namespace velmora::catalogue {

inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

// One enumerated subkey of an Uninstall key.  The two texts are kept trimmed:
// every reader compares and shows them trimmed, so padding them would change
// nothing but their size.
struct UninstallEntry {
    std::wstring KeyName;             // as enumerated, cut at its first NUL, not trimmed
    std::wstring DisplayName;         // empty for a slot the latest scan did not list
    std::wstring UninstallString;     // the command line, trimmed
    std::uint32_t RootKey = 0;        // 0x80000002 (HKLM) or 0x80000001 (HKCU)
    std::uint32_t View = 0;           // registry view flags the subkey was enumerated in
    std::int16_t CanDelete = kFalse;  // -1 when the root opened with full access
};

}  // namespace velmora::catalogue
