// Starting a program by its command line.
#pragma once

#include <string>

namespace velmora::platform {

class ProcessStarter {
  public:
    virtual ~ProcessStarter() = default;
    // Starts commandLine with the program's window shown normally and
    // activated; returns once it has started, without waiting for it.
    // False when it could not be started.
    virtual bool Start(const std::wstring& commandLine) = 0;
};

}  // namespace velmora::platform
