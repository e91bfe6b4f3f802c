// Polling with deadlines, so that a hung program fails a check instead of
// blocking the run.
#pragma once

#include <windows.h>

#include <chrono>

namespace velmora::e2e {

using namespace std::chrono_literals;

inline constexpr std::chrono::milliseconds kDefaultTimeout = 3s;

// True as soon as done() holds; false when it still fails at the deadline.
template <typename Predicate>
bool WaitUntil(Predicate&& done, std::chrono::milliseconds timeout = kDefaultTimeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Sleep(10);
    }
}

// Gives the program time to react to input that should change nothing.
inline void Settle(std::chrono::milliseconds span = 400ms) {
    Sleep(static_cast<DWORD>(span.count()));
}

}  // namespace velmora::e2e
