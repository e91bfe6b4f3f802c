// The check of every listed entry's uninstaller, made away from the window's
// thread so that a slow drive never holds the window up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::platform {

enum class Verdict {
    kUnknown,  // nothing can be said without starting it
    kPresent,
    kMissing,
};

struct UninstallerToCheck {
    std::int16_t slot;
    std::wstring commandLine;
    bool thirtyTwoBitView;  // read from the machine's 32-bit registry view
};

struct UninstallerVerdict {
    std::int16_t slot;
    Verdict verdict;
    bool operator==(const UninstallerVerdict&) const = default;
};

class UninstallerChecks {
  public:
    virtual ~UninstallerChecks() = default;
    // Judges the entries in the background, in the order given, and hands
    // the verdicts to the window tagged with generation, a few at a time as
    // they come.  A new call drops what is left of the earlier one.
    virtual void Check(std::uint32_t generation, std::vector<UninstallerToCheck> entries) = 0;
};

}  // namespace velmora::platform
