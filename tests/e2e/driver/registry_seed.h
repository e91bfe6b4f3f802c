// Uninstall entries written into the throwaway prefix's registry for one
// scenario, and removed again when it ends.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "handles.h"

namespace velmora::e2e {

// The machine root in its 64-bit and its 32-bit registry view, and the user
// root (which has one view).
enum class Root { kMachine, kMachine32, kUser };
inline constexpr Root kRoots[] = {Root::kMachine, Root::kMachine32, Root::kUser};

HKEY RootKey(Root root);
// KEY_WOW64_64KEY or KEY_WOW64_32KEY for the machine root, 0 for the user's.
REGSAM ViewOf(Root root);
// A subkey of the root's Uninstall key (the key itself when `name` is
// empty), opened in the root's view; empty when it cannot be opened.
UniqueHkey OpenUninstallKey(Root root, const std::wstring& name = {}, REGSAM access = KEY_READ);

struct SeedEntry {
    Root root;
    std::wstring keyName;  // SeedKeyName() makes the key's full name
    std::optional<std::wstring> displayName;
    std::optional<std::wstring> uninstallString;
};

class RegistrySeed {
  public:
    // Both remove every seeded key: those an earlier, interrupted run may
    // have left, and those of this seed.
    RegistrySeed();
    ~RegistrySeed();
    RegistrySeed(const RegistrySeed&) = delete;
    RegistrySeed& operator=(const RegistrySeed&) = delete;

    // Creates the entry's key with the values it has; throws on failure.
    void Add(const SeedEntry& entry);
    // Writes a value of any type and bytes into an entry's key (or a subkey:
    // Entry\Sub), creating the key when absent; throws on failure.
    void AddValue(Root root, const std::wstring& keyName, const wchar_t* valueName, DWORD type,
                  const std::vector<BYTE>& bytes);
};

// The full name of a seeded key below the Uninstall key: every key the driver
// creates starts with "VelmoraE2E-", so that what an interrupted run left
// behind can be found and removed.
std::wstring SeedKeyName(const std::wstring& keyName);
// Removes a subkey of the root's Uninstall key with everything below it, as
// another program would; true when it was removed.
bool RemoveUninstallKey(Root root, const std::wstring& fullKeyName);
// A text as the 8-bit registry calls give it in the system code page: a
// character the code page lacks becomes its best-fit look-alike or '?'.
std::wstring ThroughCodePage(std::wstring_view text);
// Trimmed display names of the entries that carry both a display name and a
// command line, read through the code page, of the keys whose names it
// carries exactly (what the program lists), among the first `subkeys`
// subkeys of one root, or of every root.
std::vector<std::wstring> ListableNames(Root root, DWORD subkeys = MAXDWORD);
std::vector<std::wstring> ListableNames();
std::wstring Trimmed(const std::wstring& text);
// Throws, naming the call, when a registry call did not succeed.
void ThrowOnError(const char* what, LSTATUS status);
// A text as REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ data: UTF-16 with a
// closing NUL (a multi-string's parts are separated by L'\0' in the text).
std::vector<BYTE> Utf16(std::wstring_view text);

}  // namespace velmora::e2e
