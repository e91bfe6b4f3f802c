// Whether HKEY_LOCAL_MACHINE's Uninstall key has a 64-bit and a 32-bit view
// that hold different entries, as on 64-bit Windows.
#pragma once

namespace velmora::platform {

class RegistryViews {
  public:
    virtual ~RegistryViews() = default;
    // False on systems with one view, or where both views reach the same key.
    virtual bool SeparateMachineViews() const = 0;
};

}  // namespace velmora::platform
