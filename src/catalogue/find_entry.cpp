#include "catalogue/find_entry.h"

#include "catalogue/checked_int16.h"
#include "catalogue/trim.h"

namespace velmora::catalogue {

std::int16_t FindEntryByDisplayName(const Entries& entries, std::int16_t entryCount,
                                    std::wstring_view text, std::int16_t lineSlot) {
    // Listed names are never empty; an emptied slot is one the scan passed over.
    if (text.empty()) return entryCount;
    if (lineSlot >= 0 && lineSlot < entryCount && Trim(entries.at(lineSlot).DisplayName) == text) {
        return lineSlot;
    }
    const std::int16_t last = CheckedSub(entryCount, 1);
    std::int16_t i = 0;
    while (i <= last) {
        if (Trim(entries.at(i).DisplayName) == text) break;
        i = CheckedAdd(i, 1);
    }
    return i;
}

}  // namespace velmora::catalogue
