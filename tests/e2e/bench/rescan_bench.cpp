// velmora_wine_bench: times the program's own list scan against Wine's real
// registry. It fills the machine's Uninstall key with 257, then 1,000, then
// 3,000 entries, runs the scan as velmora.exe does, with the Win32 registry,
// wide registry and code page, and prints one "rescan_SIZE_name value" line
// per figure. Run it in a throwaway prefix; it removes its entries at the end.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/uninstall_list_scan.h"
#include "platform/win32/common/unique_hkey.h"
#include "platform/win32/system/win32_code_page.h"
#include "platform/win32/system/win32_registry.h"
#include "platform/win32/system/win32_registry_views.h"
#include "platform/win32/system/win32_wide_registry.h"

namespace {

using velmora::platform::win32::UniqueHkey;

constexpr wchar_t kUninstallPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kKeyPrefix[] = L"VelmoraBench-";
// Each size with its number of timed runs.
constexpr std::pair<int, int> kSizes[] = {{257, 25}, {1000, 11}, {3000, 7}};

bool SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// The bench's entries in the machine's Uninstall key, for as long as it lives.
class BenchEntries {
  public:
    explicit BenchEntries(int entries) {
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, uninstall_.put(), nullptr) != ERROR_SUCCESS) {
            return;
        }
        RemoveAll();  // what an interrupted run left
        for (int i = 0; i < entries; ++i) {
            wchar_t number[8];
            std::swprintf(number, 8, L"%05d", i);
            UniqueHkey entry;
            if (RegCreateKeyExW(uninstall_.get(), (kKeyPrefix + std::wstring(number)).c_str(), 0,
                                nullptr, 0, KEY_ALL_ACCESS, nullptr, entry.put(),
                                nullptr) != ERROR_SUCCESS ||
                !SetText(entry.get(), L"DisplayName",
                         L"ベンチマーク用ソフト " + std::wstring(number)) ||
                !SetText(entry.get(), L"UninstallString",
                         L"\"C:\\Program Files\\Bench\\" + std::wstring(number) +
                             L"\\uninst.exe\" /S")) {
                return;
            }
        }
        ready_ = true;
    }
    ~BenchEntries() { RemoveAll(); }
    BenchEntries(const BenchEntries&) = delete;
    BenchEntries& operator=(const BenchEntries&) = delete;

    bool Ready() const { return ready_; }

  private:
    void RemoveAll() {
        if (!uninstall_) return;
        std::vector<std::wstring> names;
        wchar_t name[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = 256;
            if (RegEnumKeyExW(uninstall_.get(), index, name, &length, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS) {
                break;
            }
            if (std::wstring_view(name, length).starts_with(kKeyPrefix)) names.emplace_back(name);
        }
        for (const auto& each : names) RegDeleteTreeW(uninstall_.get(), each.c_str());
    }

    UniqueHkey uninstall_;
    bool ready_ = false;
};

double Milliseconds(std::chrono::steady_clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

}  // namespace

int wmain() {
    using namespace velmora;
    platform::win32::Win32Registry registry;
    platform::win32::Win32WideRegistry wideRegistry;
    platform::win32::Win32CodePage codePage;
    const catalogue::UninstallListScan scan(
        registry, wideRegistry, codePage,
        catalogue::ScanPasses(platform::win32::Win32RegistryViews().SeparateMachineViews()));
    for (const auto& [size, runs] : kSizes) {
        const BenchEntries entries(size);
        if (!entries.Ready()) {
            std::fprintf(stderr, "could not write the bench's entries into the registry\n");
            return 1;
        }
        catalogue::Entries table;
        std::int16_t count = 0;
        catalogue::ScanResult result = scan.Run(table, count);  // warm-up
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            const auto start = std::chrono::steady_clock::now();
            result = scan.Run(table, count);
            times.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
        }
        std::ranges::sort(times);
        std::printf("rescan_%d_runs %d\n", size, runs);
        std::printf("rescan_%d_listed %zu\n", size, result.lines.size());
        std::printf("rescan_%d_median_ms %.3f\n", size, times[times.size() / 2]);
        std::printf("rescan_%d_min_ms %.3f\n", size, times.front());
        std::printf("rescan_%d_max_ms %.3f\n", size, times.back());
        std::fflush(stdout);
        if (!result.failedPasses.empty() || result.lines.size() != static_cast<std::size_t>(size)) {
            std::fprintf(stderr, "the scan did not list every entry with every root open\n");
            return 1;
        }
    }
    return 0;
}
