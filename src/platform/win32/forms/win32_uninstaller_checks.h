// The check of the listed entries' uninstallers on one worker thread of its
// own.  The thread judges one entry after another and keeps the verdicts for
// the window, to which it posts one message whenever verdicts wait that it
// has not been told of; the window takes them all with Take.  A new check
// drops what is left of the old one at the next entry.
//
// The thread sets SEM_FAILCRITICALERRORS for itself, so that an empty drive
// never asks for a disk.  It is never waited for: closing the program while a
// drive answers slowly neither blocks nor reaches freed memory, since the
// thread owns its share of the state and the probe, and posts nothing once
// its owner has gone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/uninstaller_checks.h"
#include "platform/uninstaller_probe.h"

namespace velmora::platform::win32 {

class Win32UninstallerChecks : public UninstallerChecks {
  public:
    // A null probe judges nothing: no verdict ever comes.
    Win32UninstallerChecks(HWND window, UINT message,
                           std::shared_ptr<const UninstallerProbe> probe);
    ~Win32UninstallerChecks() override;
    Win32UninstallerChecks(const Win32UninstallerChecks&) = delete;
    Win32UninstallerChecks& operator=(const Win32UninstallerChecks&) = delete;

    void Check(std::uint32_t generation, std::vector<UninstallerToCheck> entries) override;

    struct Verdicts {
        std::uint32_t generation = 0;
        std::vector<UninstallerVerdict> verdicts;
        bool complete = false;  // the last verdict of that check is among them
    };
    // The verdicts that came since the last Take, all of one check.
    Verdicts Take();

  private:
    struct Shared;
    static void Work(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
    bool started_ = false;
};

}  // namespace velmora::platform::win32
