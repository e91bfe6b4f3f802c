#include "mainwindow/stale_lines.h"

#include <cstddef>

#include "mainwindow/messages.h"
#include "platform/registry.h"

namespace velmora::mainwindow {

StaleLines::Reading StaleLines::ReadingOf(const catalogue::UninstallEntry& entry) {
    return {entry.UninstallString, (entry.View & platform::kKeyWow64_32Key) != 0};
}

void StaleLines::Refilled(const catalogue::Entries& entries,
                          const std::vector<catalogue::ListedLine>& lines) {
    entries_ = &entries;
    complete_ = false;
    noted_.assign(static_cast<std::size_t>(entries.Used()), false);
    std::map<Reading, bool> before;
    before.swap(missing_);
    std::vector<platform::UninstallerToCheck> toCheck;
    toCheck.reserve(lines.size());
    for (const catalogue::ListedLine& line : lines) {
        const catalogue::UninstallEntry& entry = entries.at(line.slot);
        Reading reading = ReadingOf(entry);
        const auto known = before.find(reading);
        if (known != before.end()) {
            missing_.insert(*known);
            if (known->second) {
                list_.NoteLine(line.slot, kMissingUninstallerNote);
                noted_.at(static_cast<std::size_t>(line.slot)) = true;
            }
        }
        toCheck.push_back({line.slot, std::move(reading.first), reading.second});
    }
    checks_.Check(++generation_, std::move(toCheck));
}

void StaleLines::Judged(std::uint32_t generation,
                        const std::vector<platform::UninstallerVerdict>& verdicts, bool complete) {
    if (generation != generation_ || entries_ == nullptr) return;
    for (const platform::UninstallerVerdict& verdict : verdicts) {
        const auto slot = static_cast<std::size_t>(verdict.slot);
        if (slot >= noted_.size()) continue;
        const bool missing = verdict.verdict == platform::Verdict::kMissing;
        missing_[ReadingOf(entries_->at(verdict.slot))] = missing;
        if (noted_[slot] == missing) continue;
        list_.NoteLine(verdict.slot, missing ? kMissingUninstallerNote : L"");
        noted_[slot] = missing;
    }
    complete_ = complete_ || complete;
}

}  // namespace velmora::mainwindow
