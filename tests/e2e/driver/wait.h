// Polling with deadlines, so that a hung program fails a check instead of
// blocking the run.  The ceilings are for a cold, busy machine: they only
// bound how long a failure takes to show, a passing wait ends as soon as its
// condition holds.
#pragma once

#include <windows.h>

#include <chrono>

namespace velmora::e2e {

using namespace std::chrono_literals;

// A process's first window: the first Wine GUI process in a fresh prefix
// starts Wine's services and desktop and builds the font cache first.
inline constexpr std::chrono::milliseconds kFirstWindowTimeout = 30s;
// The program's reaction to input: a message box, a closed dialog, a rescan.
inline constexpr std::chrono::milliseconds kReactionTimeout = 10s;
// A message sent to another process's window: long enough for a busy
// program, short enough that a hung one still fails a check.
inline constexpr UINT kSendTimeoutMs = 10000;

// True as soon as done() holds; false when it still fails at the deadline.
template <typename Predicate>
bool WaitUntil(Predicate&& done, std::chrono::milliseconds timeout = kReactionTimeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Sleep(10);
    }
}

// Proves absence only: gives the program time to react to input that should
// change nothing (a message box that must not come, a click that must be
// ignored).  A reaction that does come takes far less than this on an idle
// machine; on a busy one the check may pass where it should have failed,
// never the other way round.
inline void Settle(std::chrono::milliseconds span = 500ms) {
    Sleep(static_cast<DWORD>(span.count()));
}

}  // namespace velmora::e2e
