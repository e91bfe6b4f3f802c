#pragma once

#include <cstdint>
#include <string_view>

#include "catalogue/entries.h"

namespace velmora::catalogue {

// Maps a selected list line back to its table slot.  The line's own slot wins
// when it lies within the latest scan and still carries the line's text, so
// two lines with the same name each reach their own entry; otherwise the
// lowest slot whose trimmed display name equals the text.  Returns entryCount
// when nothing matches.
std::int16_t FindEntryByDisplayName(const Entries& entries, std::int16_t entryCount,
                                    std::wstring_view text, std::int16_t lineSlot);

}  // namespace velmora::catalogue
