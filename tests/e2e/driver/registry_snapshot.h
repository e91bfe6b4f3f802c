// A faithful copy of every Uninstall key the program may touch (the machine's
// in both registry views, and the user's), with other keys named, or of the
// whole registry: every subkey below them, every value with its type and
// bytes. Taken before and after a command, two copies show whether the
// command changed anything but what it was meant to.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "registry_seed.h"

namespace velmora::e2e {

// Values by name ("" for the default value): type and bytes.
using KeyValues = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;
// Keys by path. Of the Uninstall keys: the Uninstall key is "HKLM(64)",
// "HKLM(32)" or "HKCU", a key below it "HKCU\VelmoraE2E-Tool\Components". A
// missing Uninstall key is absent. Of the whole registry: paths from the root,
// "HKLM(64)\Software\Microsoft\...".
using RegistrySnapshot = std::map<std::wstring, KeyValues>;

enum class SnapshotScope {
    kUninstallKeys,
    // The Uninstall keys and the keys named, at their paths in the whole
    // registry: what a command may touch, where other programs and the
    // system itself write to the rest meanwhile (Windows).
    kNamedKeys,
    // HKLM in its 64-bit view, HKLM\Software in its 32-bit view and HKCU, but
    // for the few keys Wine itself rewrites while programs run. Windows
    // admits no one but SYSTEM to some (HKLM\SECURITY, HKLM\SAM\SAM).
    kWholeRegistry,
};

// `named` (paths of the whole registry; a missing one is absent) for
// kNamedKeys only.
RegistrySnapshot TakeRegistrySnapshot(SnapshotScope scope = SnapshotScope::kUninstallKeys,
                                      const std::vector<std::wstring>& named = {});

// The path of an Uninstall key's subkey in a snapshot.
std::wstring SnapshotPath(Root root, const std::wstring& fullKeyName = {},
                          SnapshotScope scope = SnapshotScope::kUninstallKeys);

// The keys whose presence or values differ, one readable line each.
std::vector<std::wstring> SnapshotDifferences(const RegistrySnapshot& expected,
                                              const RegistrySnapshot& actual);

// What a snapshot should be after a command that removed nothing, or removed
// the key at `removedPath` with everything below it: `before` without that
// key and, as every scan opens each Uninstall key with a call that creates it
// when absent (the user's often, the 32-bit view's in a new Wine prefix),
// with each of them, empty if it was absent. Of the whole registry, take
// `before` while the program runs: its first scan has created those keys, and
// the keys above a created one are not foreseen here.
RegistrySnapshot ExpectedAfter(RegistrySnapshot before, const std::wstring& removedPath = {},
                               SnapshotScope scope = SnapshotScope::kUninstallKeys);

}  // namespace velmora::e2e
