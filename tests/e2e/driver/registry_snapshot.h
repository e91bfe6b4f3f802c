// A faithful copy of every Uninstall key the program may touch (the machine's
// in both registry views, and the user's): every subkey below them, every
// value with its type and bytes. Taken before and after a command, two copies
// show whether the command changed anything but what it was meant to.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "registry_seed.h"

namespace velmora::e2e {

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    bool operator==(const RegistryValue&) const = default;
};

// Values by name ("" for the default value).
using KeyValues = std::map<std::wstring, RegistryValue>;
// Keys by path: the Uninstall key is "HKLM(64)", "HKLM(32)" or "HKCU", a key
// below it "HKCU\VelmoraE2E-Tool\Components". A missing Uninstall key is absent.
using RegistrySnapshot = std::map<std::wstring, KeyValues>;

RegistrySnapshot TakeRegistrySnapshot();

// The path of an Uninstall key's subkey in a snapshot.
std::wstring SnapshotPath(Root root, const std::wstring& fullKeyName = {});

// One readable line per difference: "key added: ...", "key removed: ...",
// "value added/removed/changed: ...".
std::vector<std::wstring> SnapshotDifferences(const RegistrySnapshot& before,
                                              const RegistrySnapshot& after);

// What `after` should be when a command removed nothing or removed the
// entry's key with everything below it: `before` without that key and, as
// every scan opens each Uninstall key with a call that creates it when absent
// (the user's often, the 32-bit view's in a new Wine prefix), with each of
// them, empty if it was absent.
RegistrySnapshot ExpectedAfter(RegistrySnapshot before, const std::wstring& removedPath = {});

}  // namespace velmora::e2e
