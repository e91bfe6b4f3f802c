// Move-only owner of an open registry key: closes it exactly once, through
// the interface it was opened with (the 8-bit or the wide one).
#pragma once

#include <utility>

#include "platform/registry.h"
#include "platform/wide_registry.h"

namespace velmora::platform {

template <typename Interface>
class BasicRegistryKey {
  public:
    BasicRegistryKey() = default;
    BasicRegistryKey(Interface& registry, RegHandle handle)
        : registry_(&registry), handle_(handle) {}
    BasicRegistryKey(BasicRegistryKey&& other) noexcept
        : registry_(std::exchange(other.registry_, nullptr)), handle_(other.handle_) {}
    BasicRegistryKey& operator=(BasicRegistryKey&& other) noexcept {
        if (this != &other) {
            Close();
            registry_ = std::exchange(other.registry_, nullptr);
            handle_ = other.handle_;
        }
        return *this;
    }
    BasicRegistryKey(const BasicRegistryKey&) = delete;
    BasicRegistryKey& operator=(const BasicRegistryKey&) = delete;
    ~BasicRegistryKey() { Close(); }

    RegHandle get() const { return handle_; }
    explicit operator bool() const { return registry_ != nullptr; }

    // The result of closing is of no use to any caller: a key that fails to
    // close leaves nothing the program could do about it.
    void Close() {
        if (registry_ != nullptr) {
            static_cast<void>(std::exchange(registry_, nullptr)->RegCloseKey(handle_));
        }
    }

  private:
    Interface* registry_ = nullptr;
    RegHandle handle_ = 0;
};

using RegistryKey = BasicRegistryKey<Registry>;
using WideRegistryKey = BasicRegistryKey<WideRegistry>;

}  // namespace velmora::platform
