// A probe that asks each drive's type once for one check of many entries,
// and everything else of the probe it stands in front of.  A drive's type can
// take milliseconds to learn (Wine asks its mount manager every time), and a
// check of thousands of entries on one drive would pay it for each.  It lives
// for one check only: a drive plugged in or out later is seen by the next.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/uninstaller_probe.h"

namespace velmora::verdict {

class DriveTypesOfOneCheck : public platform::UninstallerProbe {
  public:
    explicit DriveTypesOfOneCheck(const platform::UninstallerProbe& probe) : probe_(probe) {}

    unsigned GetDriveTypeW(wchar_t letter) const override {
        if (letter < L'a' || letter > L'z') return probe_.GetDriveTypeW(letter);
        std::optional<unsigned>& known = types_[static_cast<std::size_t>(letter - L'a')];
        if (!known) known = probe_.GetDriveTypeW(letter);
        return *known;
    }
    platform::FileAttributes GetFileAttributesW(const std::wstring& path) const override {
        return probe_.GetFileAttributesW(path);
    }
    std::optional<int> MsiQueryProductStateW(const std::wstring& productCode) const override {
        return probe_.MsiQueryProductStateW(productCode);
    }
    std::optional<std::wstring> ExpandEnvironmentStringsW(const std::wstring& text) const override {
        return probe_.ExpandEnvironmentStringsW(text);
    }

  private:
    const platform::UninstallerProbe& probe_;
    mutable std::array<std::optional<unsigned>, 26> types_{};
};

}  // namespace velmora::verdict
