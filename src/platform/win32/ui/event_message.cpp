#include "platform/win32/ui/event_message.h"

#include <utility>

namespace velmora::platform::win32 {

EventHandle Win32EventMessage::Listen() {
    Stop();
    // Manual reset: the event stays set however many notifications set it,
    // and the single-shot wait below posts one message for all of them.
    UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event) return 0;
    HANDLE wait = nullptr;
    if (!::RegisterWaitForSingleObject(&wait, event.get(), &OnSet, this, INFINITE,
                                       WT_EXECUTEONLYONCE)) {
        return 0;
    }
    event_ = std::move(event);
    wait_ = wait;
    listening_ = true;
    return reinterpret_cast<EventHandle>(event_.get());
}

void Win32EventMessage::Stop() {
    if (wait_ != nullptr) {
        // INVALID_HANDLE_VALUE: returns only once a callback that is running
        // has finished, so none can post after this.  It fails only for a
        // wait that is not registered, which cannot be.
        static_cast<void>(::UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE));
        wait_ = nullptr;
    }
    event_.reset();
    listening_ = false;
    ++generation_;
}

bool Win32EventMessage::Take(WPARAM generation) {
    if (!listening_ || generation != generation_) return false;
    listening_ = false;
    return true;
}

void CALLBACK Win32EventMessage::OnSet(void* context, BOOLEAN /*timedOut*/) {
    const auto* self = static_cast<const Win32EventMessage*>(context);
    // A full message queue loses the message; the list then catches up at
    // the next repaint, as it did before the keys were watched.
    static_cast<void>(::PostMessageW(self->window_, self->message_, self->generation_.load(), 0));
}

}  // namespace velmora::platform::win32
