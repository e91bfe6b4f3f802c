#include "mainwindow/uninstall_key_watch.h"

#include <utility>

#include "catalogue/uninstall_key.h"

namespace velmora::mainwindow {

UninstallKeyWatch::UninstallKeyWatch(platform::Registry& registry, platform::ChangeSignal& signal,
                                     std::vector<catalogue::ScanPass> passes)
    : registry_(registry), signal_(signal), passes_(std::move(passes)) {}

void UninstallKeyWatch::Restart() {
    // Closing a key ends its request, and may set the old event: the signal
    // listens on a new one only after that.
    keys_.clear();
    const platform::EventHandle event = signal_.Listen();
    for (const catalogue::ScanPass& pass : passes_) {
        if (event == 0) break;
        platform::RegHandle opened = 0;
        // The notify right alone: a user who may only read the key can watch it.
        if (registry_.RegOpenKeyExA(pass.root, catalogue::kUninstallPath, 0,
                                    platform::kKeyNotify | pass.view,
                                    &opened) != platform::kErrorSuccess) {
            continue;
        }
        platform::RegistryKey key(registry_, opened);
        // Subkeys added or removed, of this key alone: an uninstaller that
        // rewrites its own values is not done yet.
        if (registry_.RegNotifyChangeKeyValue(opened, false, platform::kRegNotifyChangeName, event,
                                              true) == platform::kErrorSuccess) {
            keys_.push_back(std::move(key));
        }
    }
    if (keys_.empty()) signal_.Stop();
}

void UninstallKeyWatch::Stop() {
    keys_.clear();
    signal_.Stop();
}

}  // namespace velmora::mainwindow
