// An event that the registry can set, and the window told when it has been:
// the registry's change notification reaches the logic through it as a
// handler call on the user-interface thread.
#pragma once

#include "platform/registry.h"

namespace velmora::platform {

class ChangeSignal {
  public:
    virtual ~ChangeSignal() = default;
    // Forgets every earlier setting and listens anew; returns the event to
    // hand to RegNotifyChangeKeyValue.  The window hears of its first setting
    // once, however often it is set.  0 when no event can be made.
    virtual EventHandle Listen() = 0;
    // Stops listening: a setting that the window has not heard of is dropped.
    virtual void Stop() = 0;
};

}  // namespace velmora::platform
