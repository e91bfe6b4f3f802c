// The fixed table of uninstall entries: slots 0 to 256, every access checked.
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>

#include "catalogue/uninstall_entry.h"

namespace velmora::catalogue {

inline constexpr int kEntrySlots = 257;
inline constexpr int kLastSlot = kEntrySlots - 1;

class Entries {
  public:
    UninstallEntry& at(int slot) { return slots_.at(Checked(slot)); }
    const UninstallEntry& at(int slot) const { return slots_.at(Checked(slot)); }

  private:
    static std::size_t Checked(int slot) {
        if (slot < 0 || slot > kLastSlot) throw std::out_of_range("entry slot out of range");
        return static_cast<std::size_t>(slot);
    }

    std::array<UninstallEntry, kEntrySlots> slots_{};
};

}  // namespace velmora::catalogue
