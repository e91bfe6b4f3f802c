// The text of a registry file as the system's registry editor writes and
// imports it ("Windows Registry Editor Version 5.00", UTF-16LE with a byte
// order mark, CRLF line ends), written so that every value imports back with
// its exact type and bytes, except a text value that was stored without its
// closing NUL, which comes back with one: importers add it, and no spelling
// in the file avoids that.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wide_registry.h"

namespace velmora::backup {

// One section of the file: a key by its full path and its values.
struct ExportedKey {
    std::wstring path;  // "HKEY_CURRENT_USER\Software\..."
    std::vector<platform::WideValue> values;
};

// The file's text with the keys in order; nothing when a key path or value
// name holds a line break or NUL, which no registry file can carry.
std::optional<std::wstring> RegFileText(const std::vector<ExportedKey>& keys);

// The text as the file's bytes: byte order mark, then UTF-16LE.
std::vector<std::uint8_t> RegFileBytes(std::wstring_view text);

}  // namespace velmora::backup
