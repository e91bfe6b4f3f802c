// Owners of open registry keys: each key is closed exactly once, through the
// interface it was opened with (the 8-bit or the wide one).
#pragma once

#include "platform/registry.h"
#include "platform/unique_owner.h"
#include "platform/wide_registry.h"

namespace velmora::platform {

template <typename Interface>
struct RegistryKeyTraits {
    using Handle = RegHandle;
    static constexpr Handle kNone = 0;

    RegistryKeyTraits() = default;
    // Implicit, so that a key is owned as RegistryKey key(registry, handle).
    RegistryKeyTraits(Interface& opener) : registry(&opener) {}

    bool IsValid(Handle key) const { return registry != nullptr && key != kNone; }
    void Close(Handle key) const { static_cast<void>(registry->RegCloseKey(key)); }

    Interface* registry = nullptr;
};

using RegistryKey = UniqueOwner<RegistryKeyTraits<Registry>>;
using WideRegistryKey = UniqueOwner<RegistryKeyTraits<WideRegistry>>;

}  // namespace velmora::platform
