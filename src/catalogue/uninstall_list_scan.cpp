#include "catalogue/uninstall_list_scan.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "catalogue/checked_int16.h"
#include "catalogue/shared_module.h"
#include "catalogue/trim.h"
#include "catalogue/uninstall_key.h"
#include "platform/registry_key.h"

namespace velmora::catalogue {
namespace {

// A pass enumerates no further than the table could take it.
constexpr int kHighestEnumIndex = kLastSlot;
constexpr std::uint32_t kNameBufferSize = 256;
constexpr std::uint32_t kValueSize = 256;
const std::wstring kDisplayName = L"DisplayName";
const std::wstring kUninstallString = L"UninstallString";

}  // namespace

UninstallListScan::UninstallListScan(platform::Registry& registry,
                                     platform::WideRegistry& wideRegistry,
                                     const platform::CodePage& codePage,
                                     std::vector<ScanPass> passes)
    : registry_(registry),
      wideRegistry_(wideRegistry),
      codePage_(codePage),
      passes_(std::move(passes)) {}

ScanResult UninstallListScan::Run(Entries& entries, std::int16_t& entryCount) const {
    ScanResult result;
    // Only what this scan lists may match a line: every slot's name is
    // emptied first and written again for each listed entry.  Slots keep
    // their other fields, as a scan that ends early leaves them.
    // Slots never written hold no name.
    for (int slot = 0; slot < entries.Used(); ++slot) entries.at(slot).DisplayName.clear();
    // Slots covered by the passes that opened so far; nothing until one has.
    std::optional<std::int16_t> covered;
    for (const ScanPass& pass : passes_) {
        const auto count = RunPass(pass, covered.value_or(std::int16_t{0}), entries, result.lines);
        if (count) {
            covered = CheckedAdd(covered.value_or(std::int16_t{0}), *count);
            entryCount = *covered;
            continue;
        }
        result.failedPasses.push_back(pass);
        if (pass.endsScanOnFailure) break;
    }
    return result;
}

std::optional<std::int16_t> UninstallListScan::RunPass(const ScanPass& pass, std::int16_t base,
                                                       Entries& entries,
                                                       std::vector<ListedLine>& lines) const {
    platform::RegHandle opened = 0;
    bool canDelete = true;
    if (OpenUninstallKey(registry_, pass.root, platform::kKeyFullAccess, pass.view, &opened) !=
        platform::kErrorSuccess) {
        canDelete = false;
        if (OpenUninstallKey(registry_, pass.root, platform::kKeyRead, pass.view, &opened) !=
            platform::kErrorSuccess) {
            return std::nullopt;
        }
    }
    platform::RegistryKey key(registry_, opened);

    std::int16_t count = CheckedInt16(kHighestEnumIndex + 1);
    for (std::int16_t index = 0; index <= kHighestEnumIndex; index = CheckedAdd(index, 1)) {
        const std::int16_t slot = CheckedAdd(base, index);
        if (slot > kLastSlot) {
            // The table is full: this pass keeps what it has listed so far.
            count = index;
            break;
        }
        std::array<char, kNameBufferSize> name{};
        const platform::RegStatus status = registry_.RegEnumKeyA(
            opened, static_cast<std::uint32_t>(index), name.data(), kNameBufferSize);
        if (status == platform::kErrorSuccess) {
            const auto end = std::find(name.begin(), name.end(), '\0');
            const std::string_view enumerated(name.data(),
                                              static_cast<std::size_t>(end - name.begin()));
            if (NamesExactlyTheSubkey(opened, index, enumerated))
                ReadSubkey(opened, pass, canDelete, slot, enumerated, entries, lines);
        } else if (status == platform::kErrorNoMoreItems) {
            count = index;
            break;
        }
        // Any other result: that subkey is skipped and its slot left alone.
    }
    return count;
}

bool UninstallListScan::NamesExactlyTheSubkey(platform::RegHandle key, std::int16_t index,
                                              std::string_view enumeratedName) const {
    // The 8-bit call gives a name the code page cannot carry with look-alikes
    // (Café as Cafe in code page 932, U+00A5 as '\') or '?': read or deleted,
    // it would name another key, or a key below another one.  The wide name
    // at the same index, converted without look-alikes, shows it.  A key
    // added or removed between the two calls makes them disagree too; the
    // next scan sees it.
    std::wstring wide;
    if (wideRegistry_.RegEnumKeyExW(key, static_cast<std::uint32_t>(index), &wide) !=
        platform::kErrorSuccess) {
        return false;
    }
    const std::optional<std::string> exact = codePage_.ToNarrowExactly(wide);
    return exact && *exact == enumeratedName;
}

void UninstallListScan::ReadSubkey(platform::RegHandle key, const ScanPass& pass, bool canDelete,
                                   int slot, std::string_view enumeratedName, Entries& entries,
                                   std::vector<ListedLine>& lines) const {
    UninstallEntry& entry = entries.at(slot);
    entry.KeyName = codePage_.ToWide(enumeratedName);

    std::uint32_t size = kValueSize;
    const std::wstring displayName = Trim(SharedModule::GetRegValueText(
        registry_, codePage_, key, entry.KeyName, kDisplayName, size, pass.view));
    size = kValueSize;
    const std::wstring commandLine = Trim(SharedModule::GetRegValueText(
        registry_, codePage_, key, entry.KeyName, kUninstallString, size, pass.view));

    if (displayName.empty() || commandLine.empty()) return;
    lines.push_back({displayName, static_cast<std::int16_t>(slot)});
    entry.DisplayName = displayName;
    entry.UninstallString = commandLine;
    entry.RootKey = pass.root;
    entry.View = pass.view;
    entry.CanDelete = canDelete ? kTrue : kFalse;
}

}  // namespace velmora::catalogue
