// The running program: ending it closes the main window, whose destruction
// takes the windows it owns along and ends the message loop at once.
#pragma once

#include "platform/application.h"

namespace velmora::platform::win32 {

class Win32MainWindow;

class Win32Application : public Application {
  public:
    explicit Win32Application(Win32MainWindow& mainWindow) : mainWindow_(mainWindow) {}
    void End() override;

  private:
    Win32MainWindow& mainWindow_;
};

}  // namespace velmora::platform::win32
