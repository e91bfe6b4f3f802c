// The table of uninstall entries: slots 0 to 32766, as far as 16-bit signed
// counts reach, every access checked.  Storage grows with the slots written,
// so a table holds only as many records as the scans have filled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "catalogue/uninstall_entry.h"

namespace velmora::catalogue {

inline constexpr int kEntrySlots = std::numeric_limits<std::int16_t>::max();
inline constexpr int kLastSlot = kEntrySlots - 1;

class Entries {
  public:
    // The slot's record, made (with every slot below it) on first use.
    UninstallEntry& at(int slot) {
        const std::size_t index = Checked(slot);
        if (index >= slots_.size()) slots_.resize(index + 1);
        return slots_[index];
    }
    // A slot never written reads as an empty record.
    const UninstallEntry& at(int slot) const {
        static const UninstallEntry kEmpty{};
        const std::size_t index = Checked(slot);
        return index < slots_.size() ? slots_[index] : kEmpty;
    }
    // The slots written so far: every later one is still empty.
    int Used() const { return static_cast<int>(slots_.size()); }

  private:
    static std::size_t Checked(int slot) {
        if (slot < 0 || slot > kLastSlot) throw std::out_of_range("entry slot out of range");
        return static_cast<std::size_t>(slot);
    }

    std::vector<UninstallEntry> slots_;
};

}  // namespace velmora::catalogue
