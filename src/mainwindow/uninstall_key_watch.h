// The watch on the Uninstall keys while rescans are armed: a subkey added to
// or removed from any key the scan reads sets the change signal's event.
#pragma once

#include <vector>

#include "catalogue/scan_pass.h"
#include "platform/change_signal.h"
#include "platform/registry.h"
#include "platform/registry_key.h"

namespace velmora::mainwindow {

class UninstallKeyWatch {
  public:
    UninstallKeyWatch(platform::Registry& registry, platform::ChangeSignal& signal,
                      std::vector<catalogue::ScanPass> passes);
    ~UninstallKeyWatch() { Stop(); }
    UninstallKeyWatch(const UninstallKeyWatch&) = delete;
    UninstallKeyWatch& operator=(const UninstallKeyWatch&) = delete;

    // Watches every pass's Uninstall key from now on; a change before this
    // call is not reported.  A key that cannot be watched is left out, and
    // the signal is stopped when none can: nothing is shown either way.
    void Restart();
    // Closes the keys and stops the signal.
    void Stop();

  private:
    platform::Registry& registry_;
    platform::ChangeSignal& signal_;
    std::vector<catalogue::ScanPass> passes_;
    std::vector<platform::RegistryKey> keys_;
};

}  // namespace velmora::mainwindow
