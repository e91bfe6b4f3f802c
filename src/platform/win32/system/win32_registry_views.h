// Tells whether the machine's Uninstall key has two registry views (64-bit
// Windows) by comparing the kernel's names of the keys the two views open.
#pragma once

#include "platform/registry_views.h"

namespace velmora::platform::win32 {

class Win32RegistryViews : public RegistryViews {
  public:
    bool SeparateMachineViews() const override;
};

}  // namespace velmora::platform::win32
