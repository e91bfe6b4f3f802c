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
};

class ProcessStarter {
  public:
    virtual ~ProcessStarter() = default;
    // Starts commandLine with the program's window shown normally and
    // activated; returns once it has started, without waiting for it.  A
    // consent prompt for elevation belongs to owner, so that it comes up in
    // front of that window.
    virtual StartResult Start(const std::wstring& commandLine, WindowHandle owner) = 0;
};

}  // namespace velmora::platform
