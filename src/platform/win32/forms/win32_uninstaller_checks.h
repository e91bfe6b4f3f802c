// The check of the listed entries' uninstallers on one worker thread of its
// own.  The thread judges one entry after another and keeps the verdicts for
// the window, to which it posts one message whenever verdicts wait that it
// has not been told of; the window takes them all with Take.  A new check
// drops what is left of the old one at the next entry, and its own entries
// wait for the window's timer: WM_TIMER comes only once the window has no
// other message and nothing to paint, so that the list is shown, and a
// rescan's refill drawn, before the thread takes a processor from them.
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
    // A null probe judges nothing: no verdict ever comes.  timer is a timer
    // id of the window's own, for which it calls Release.
    Win32UninstallerChecks(HWND window, UINT message, UINT_PTR timer,
                           std::shared_ptr<const UninstallerProbe> probe);
    ~Win32UninstallerChecks() override;
    Win32UninstallerChecks(const Win32UninstallerChecks&) = delete;
    Win32UninstallerChecks& operator=(const Win32UninstallerChecks&) = delete;

    void Check(std::uint32_t generation, std::vector<UninstallerToCheck> entries) override;
    // The window is idle: the latest check's entries go to the thread.
    void Release();

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

    HWND window_;
    UINT_PTR timer_;
    std::vector<UninstallerToCheck> waiting_;  // until Release
    std::shared_ptr<Shared> shared_;
    bool started_ = false;
};

}  // namespace velmora::platform::win32
