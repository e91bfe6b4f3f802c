#include "platform/win32/forms/win32_uninstaller_checks.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "verdict/drive_types_of_one_check.h"
#include "verdict/uninstaller_verdict.h"

namespace velmora::platform::win32 {

struct Win32UninstallerChecks::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    HWND window;  // null once the owner has gone
    UINT message;
    std::shared_ptr<const UninstallerProbe> probe;
    // The latest check asked for, and its entries until the thread takes them.
    std::uint32_t generation = 0;
    std::vector<UninstallerToCheck> entries;
    bool asked = false;
    // Verdicts waiting for the window, and whether it has been told.
    Verdicts waiting;
    bool told = false;

    bool Current(std::uint32_t checked) const { return window != nullptr && generation == checked; }

    // Under the lock: keeps a verdict of the current check and tells the
    // window once.  A full message queue loses the message; the next verdict
    // tries again.
    void Keep(std::uint32_t checked, const UninstallerVerdict* verdict, bool last) {
        if (!Current(checked)) return;
        if (waiting.generation != checked) waiting = Verdicts{checked, {}, false};
        if (verdict != nullptr) waiting.verdicts.push_back(*verdict);
        waiting.complete = last;
        if (!told) told = ::PostMessageW(window, message, 0, 0) != FALSE;
    }
};

Win32UninstallerChecks::Win32UninstallerChecks(HWND window, UINT message, UINT_PTR timer,
                                               std::shared_ptr<const UninstallerProbe> probe)
    : window_(window), timer_(timer), shared_(std::make_shared<Shared>()) {
    shared_->window = window;
    shared_->message = message;
    shared_->probe = std::move(probe);
}

Win32UninstallerChecks::~Win32UninstallerChecks() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->window = nullptr;
    }
    shared_->wake.notify_all();
}

void Win32UninstallerChecks::Check(std::uint32_t generation,
                                   std::vector<UninstallerToCheck> entries) {
    if (!shared_->probe) return;
    {
        // The thread leaves the old check at its next entry.
        const std::lock_guard lock(shared_->mutex);
        shared_->generation = generation;
        shared_->entries.clear();
        shared_->asked = false;
    }
    waiting_ = std::move(entries);
    // Without the timer the entries go at once.
    if (::SetTimer(window_, timer_, USER_TIMER_MINIMUM, nullptr) == 0) Release();
}

void Win32UninstallerChecks::Release() {
    // Fails only for a timer already gone, as after an immediate release.
    static_cast<void>(::KillTimer(window_, timer_));
    if (!shared_->probe) return;
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->entries = std::move(waiting_);
        shared_->asked = true;
    }
    waiting_.clear();
    shared_->wake.notify_all();
    if (started_) return;
    try {
        std::thread(Work, shared_).detach();
        started_ = true;
    } catch (const std::system_error&) {
        // No thread, no verdicts: the lines are drawn as they always were,
        // and the next check tries again.
    }
}

Win32UninstallerChecks::Verdicts Win32UninstallerChecks::Take() {
    const std::lock_guard lock(shared_->mutex);
    shared_->told = false;
    Verdicts taken =
        std::exchange(shared_->waiting, Verdicts{shared_->waiting.generation, {}, false});
    return taken;
}

void Win32UninstallerChecks::Work(const std::shared_ptr<Shared>& shared) {
    // Without it a box could ask for a disk in an empty drive; better no
    // verdict at all.  Below normal priority: the window comes first.
    if (!::SetThreadErrorMode(SEM_FAILCRITICALERRORS, nullptr)) return;
    static_cast<void>(::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL));
    for (;;) {
        std::uint32_t generation = 0;
        std::vector<UninstallerToCheck> entries;
        {
            std::unique_lock lock(shared->mutex);
            shared->wake.wait(lock, [&] { return shared->asked || shared->window == nullptr; });
            if (shared->window == nullptr) return;
            generation = shared->generation;
            entries = std::move(shared->entries);
            shared->asked = false;
        }
        const verdict::DriveTypesOfOneCheck probe(*shared->probe);
        bool current = true;
        for (const UninstallerToCheck& entry : entries) {
            UninstallerVerdict judged{entry.slot, Verdict::kUnknown};
            try {
                judged.verdict =
                    verdict::JudgeUninstaller(probe, entry.commandLine, entry.thirtyTwoBitView)
                        .verdict;
            } catch (const std::exception&) {
                // Out of memory for one line's texts: that line stays unjudged.
            }
            const std::lock_guard lock(shared->mutex);
            if (!(current = shared->Current(generation))) break;
            shared->Keep(generation, &judged, false);
        }
        if (!current) continue;
        const std::lock_guard lock(shared->mutex);
        shared->Keep(generation, nullptr, true);
    }
}

}  // namespace velmora::platform::win32
