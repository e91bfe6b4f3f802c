// What changed between two registry snapshots, in words a failing test can
// print, and the registry's own notion of one key lying within another.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "support/memory/key_name.h"
#include "support/memory/memory_registry.h"

namespace velmora::testing {

struct SnapshotDiff {
    std::vector<std::string> added;    // keys only in the later snapshot
    std::vector<std::string> removed;  // keys only in the earlier one
    std::vector<std::string> changed;  // keys in both whose class or values differ

    bool Empty() const { return added.empty() && removed.empty() && changed.empty(); }
};

inline SnapshotDiff DiffSnapshots(const platform::memory::RegistrySnapshot& before,
                                  const platform::memory::RegistrySnapshot& after) {
    SnapshotDiff diff;
    for (const auto& [path, key] : before) {
        const auto it = after.find(path);
        if (it == after.end()) {
            diff.removed.push_back(path);
        } else if (!(it->second == key)) {
            diff.changed.push_back(path);
        }
    }
    for (const auto& [path, key] : after) {
        if (!before.contains(path)) diff.added.push_back(path);
    }
    return diff;
}

// True when path is tree itself or a key below it.  Names are compared as the
// registry compares them: ASCII letters without case, a double-byte character
// as a whole, so a trail byte 0x5C never counts as a separator.
inline bool IsWithin(std::string_view path, std::string_view tree) {
    const auto pathParts = platform::memory::SplitKeyPath(path);
    const auto treeParts = platform::memory::SplitKeyPath(tree);
    return pathParts && treeParts && treeParts->size() <= pathParts->size() &&
           std::equal(treeParts->begin(), treeParts->end(), pathParts->begin(),
                      platform::memory::SameKeyName);
}

// A path with every byte outside printable ASCII written as \xNN.
inline std::string Printable(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    return out;
}

inline std::string Describe(const SnapshotDiff& diff) {
    if (diff.Empty()) return "no change\n";
    std::string text;
    const auto list = [&text](const char* what, const std::vector<std::string>& paths) {
        for (const std::string& path : paths) text += std::string(what) + Printable(path) + "\n";
    };
    list("added:   ", diff.added);
    list("removed: ", diff.removed);
    list("changed: ", diff.changed);
    return text;
}

}  // namespace velmora::testing
