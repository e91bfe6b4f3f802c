// Uninstall entries written into the throwaway prefix's registry for one
// scenario, and removed again when it ends.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::e2e {

// The machine root in its 64-bit and its 32-bit registry view, and the user
// root (which has one view).
enum class Root { kMachine, kMachine32, kUser };
inline constexpr Root kRoots[] = {Root::kMachine, Root::kMachine32, Root::kUser};

inline constexpr wchar_t kUninstallPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Every key the driver creates starts with this, so that what an interrupted
// run left behind can be found and removed.
inline constexpr wchar_t kSeedKeyPrefix[] = L"VelmoraE2E-";

HKEY RootKey(Root root);
// KEY_WOW64_64KEY or KEY_WOW64_32KEY for the machine root, 0 for the user's.
REGSAM ViewOf(Root root);
// The root as the fake uninstaller takes it on its command line; it works in
// the 64-bit view, so its entries are seeded in kMachine or kUser.
const wchar_t* RootArgument(Root root);

struct SeedEntry {
    Root root;
    std::wstring keyName;  // kSeedKeyPrefix is prepended
    std::optional<std::wstring> displayName;
    std::optional<std::wstring> uninstallString;
};

class RegistrySeed {
  public:
    // Removes the keys an earlier, interrupted run may have left.
    RegistrySeed();
    // Removes every key this seed created that still exists.
    ~RegistrySeed();
    RegistrySeed(const RegistrySeed&) = delete;
    RegistrySeed& operator=(const RegistrySeed&) = delete;

    // Creates the entry's key with the values it has; throws on failure.
    void Add(const SeedEntry& entry);
    // Creates a subkey below an entry's key; throws on failure.
    void AddSubkey(Root root, const std::wstring& keyName, const std::wstring& subkeyName);
    // Writes a value of any type and bytes into an entry's key, creating the
    // key when absent; throws on failure.
    void AddValue(Root root, const std::wstring& keyName, const wchar_t* valueName, DWORD type,
                  const std::vector<BYTE>& bytes);

  private:
    std::vector<std::pair<Root, std::wstring>> created_;
};

// The full name of a seeded key below the Uninstall key.
std::wstring SeedKeyName(const std::wstring& keyName);
bool UninstallKeyExists(Root root, const std::wstring& fullKeyName);
// Removes a subkey of the root's Uninstall key with everything below it, as
// another program would; true when it was removed.
bool RemoveUninstallKey(Root root, const std::wstring& fullKeyName);
// Trimmed display names of the entries of every root that carry both a
// display name and a command line: what the program lists.
std::vector<std::wstring> ListableNames();
// The same for one root, among its first `subkeys` subkeys in enumeration order.
std::vector<std::wstring> ListableNames(Root root, DWORD subkeys);

}  // namespace velmora::e2e
