// Free procedures shared by the forms.
#pragma once

#include <cstdint>
#include <string>

#include "platform/code_page.h"
#include "platform/registry.h"

namespace velmora::SharedModule {

// Reads value valueName of subkey subKeyName of the open key as trimmed text.
// size is the caller's size word: on entry the room the first query may fill
// (256), afterwards what the last query left in it.  A value too large for
// that room is read again with the size the query reports, up to 32,767
// bytes; a longer one, one that keeps changing size, and any failure give the
// empty text.
// The subkey is only opened, never created: a subkey that vanished since it
// was enumerated must not come back as an empty key.
std::wstring GetRegValueText(platform::Registry& registry, const platform::CodePage& codePage,
                             platform::RegHandle key, const std::wstring& subKeyName,
                             const std::wstring& valueName, std::uint32_t& size,
                             std::uint32_t view = 0);

}  // namespace velmora::SharedModule
