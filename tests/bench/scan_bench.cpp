// Speed of a full rescan and of the line lookup against the in-memory
// registry, and the registry calls a scan makes per subkey.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "catalogue/find_entry.h"
#include "catalogue/trim.h"
#include "catalogue/uninstall_list_scan.h"
#include "support/form_fixture.h"

namespace velmora::testing {
namespace {

// count listable subkeys under the root, named like installers name them,
// with Japanese display names and quoted command lines.
void SeedRoot(FormFixture& f, std::uint32_t root, int count) {
    for (int i = 0; i < count; ++i) {
        wchar_t key[48];
        std::swprintf(key, 48, L"{%08X-5A1E-4D2C-9B7F-%012d}", root, i);
        f.AddEntry(root, key, L"サンプル アプリケーション " + std::to_wstring(i),
                   L"\"C:\\Program Files\\Sample\\uninst.exe\" /S /id=" + std::to_wstring(i));
    }
}

void Seed(FormFixture& f, int perRoot) {
    for (const std::uint32_t root : {kHKeyLocalMachine, kHKeyCurrentUser})
        SeedRoot(f, root, perRoot);
}

constexpr const char* kOperations[] = {"RegCreateKeyExA", "RegEnumKeyA",   "RegEnumKeyExW",
                                       "RegOpenKeyExA",   "RegCreateKeyA", "RegQueryValueExA",
                                       "RegDeleteKeyExA", "RegCloseKey"};

void Rescan(benchmark::State& state) {
    FormFixture f;
    Seed(f, static_cast<int>(state.range(0)));
    f.form.Form_Load();
    for (auto _ : state) f.form.UpdateCommand_Click();

    // The calls of one more scan, per subkey it examined.
    f.registry.ResetCallCounts();
    f.form.UpdateCommand_Click();
    const double examined = f.form.EntryCount();
    double total = 0;
    for (const char* operation : kOperations) {
        const auto calls = static_cast<double>(f.registry.CallCount(operation));
        if (calls > 0) state.counters[operation] = calls / examined;
        total += calls;
    }
    state.counters["calls"] = total / examined;
    state.counters["examined"] = examined;
    state.counters["listed"] = static_cast<double>(f.list.lines.size());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(examined));
}
BENCHMARK(Rescan)->ArgName("perRoot")->Arg(10)->Arg(257)->Arg(1000)->Arg(3000)->Unit(
    benchmark::kMicrosecond);

enum class Lookup { kOwnSlot, kLastSlotByName, kMiss };

// A full table, filled by the machine's subkeys alone; the line looked up is
// the last slot's.
void FindOnFullTable(benchmark::State& state, Lookup lookup) {
    FormFixture f;
    SeedRoot(f, kHKeyLocalMachine, catalogue::kEntrySlots);
    catalogue::Entries entries;
    std::int16_t count = 0;
    const auto scanned =
        catalogue::UninstallListScan(f.registry, f.wideRegistry, f.codePage).Run(entries, count);
    benchmark::DoNotOptimize(scanned);
    const std::wstring text = lookup == Lookup::kMiss
                                  ? L"サンプル アプリケーション 該当なし"
                                  : catalogue::Trim(entries.at(catalogue::kLastSlot).DisplayName);
    // Without its own slot a line is found by walking the table by name.
    const std::int16_t slot = lookup == Lookup::kOwnSlot ? catalogue::kLastSlot : -1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(catalogue::FindEntryByDisplayName(entries, count, text, slot));
    }
    state.counters["slots"] = count;
}
BENCHMARK_CAPTURE(FindOnFullTable, own_slot, Lookup::kOwnSlot);
BENCHMARK_CAPTURE(FindOnFullTable, last_slot_by_name, Lookup::kLastSlotByName);
BENCHMARK_CAPTURE(FindOnFullTable, miss, Lookup::kMiss);

}  // namespace
}  // namespace velmora::testing
