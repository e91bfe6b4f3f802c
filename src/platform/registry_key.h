// Move-only owner of an open registry key: closes it exactly once.
#pragma once

#include <utility>

#include "platform/registry.h"

namespace velmora::platform {

class RegistryKey {
  public:
    RegistryKey() = default;
    RegistryKey(Registry& registry, RegHandle handle) : registry_(&registry), handle_(handle) {}
    RegistryKey(RegistryKey&& other) noexcept
        : registry_(std::exchange(other.registry_, nullptr)), handle_(other.handle_) {}
    RegistryKey& operator=(RegistryKey&& other) noexcept {
        if (this != &other) {
            Close();
            registry_ = std::exchange(other.registry_, nullptr);
            handle_ = other.handle_;
        }
        return *this;
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() { Close(); }

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
    Registry* registry_ = nullptr;
    RegHandle handle_ = 0;
};

}  // namespace velmora::platform
