// Starting a program by its command line.
#pragma once

#include <string>

#include "platform/geometry.h"

namespace velmora::platform {

enum class StartResult {
    kStarted,
    // The user declined the consent prompt of an elevated start: nothing is
    // wrong with the command line, and nothing started.
    kDeclined,
    kFailed,
    // The entry is the user's own and this process runs elevated: none of the
    // ways to start it with the user's unelevated rights worked, and it was
    // not started with more.
    kNoUnelevatedStart,
};

// Whose Uninstall key named the program.  Only administrators can write the
// machine's; any program the user runs, elevated or not, can write the user's.
enum class EntryScope { kMachine, kUser };

class ProcessStarter {
  public:
    virtual ~ProcessStarter() = default;
    // Starts commandLine with the program's window shown normally and
    // activated; returns once it has started, without waiting for it.  A
    // consent prompt for elevation belongs to owner, so that it comes up in
    // front of that window.  A user's entry never gets more than the user's
    // unelevated rights.
    virtual StartResult Start(const std::wstring& commandLine, WindowHandle owner,
                              EntryScope scope) = 0;
};

}  // namespace velmora::platform
