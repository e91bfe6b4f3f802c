// velmora_startup_bench: times, from outside, how long a program takes from
// its process creation to a visible top-level window whose list holds every
// entry.  For each size (257, 1,000 and 3,000 entries: 57 of them the user's,
// the rest the machine's) it seeds the Uninstall keys, then starts the minimal
// program (velmora_floor.exe), the same window as velmora.exe's filled by the
// same bare calls (velmora_window_floor.exe), velmora.exe and, at 257 only,
// Wine's own list (uninstaller.exe without arguments) in turn, round after
// round, so that a busy machine slows all of them alike.  It also times
// rescans of all but Wine's list.  Prints "sample NAME_SIZE MS" per run and
// "figure NAME_SIZE MEDIAN MIN MAX RUNS" per measure.  Run it in a throwaway
// prefix; it removes its entries.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "../driver/handles.h"

namespace {

using velmora::e2e::UniqueHkey;
using velmora::e2e::UniqueProcess;

constexpr wchar_t kUninstallPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kKeyPrefix[] = L"VelmoraStartBench-";
constexpr int kSizes[] = {257, 1000, 3000};
constexpr int kUserEntries = 57;
constexpr int kRescansPerStart = 3;
constexpr UINT kListViewGetItemCount = 0x1004;  // LVM_GETITEMCOUNT
constexpr DWORD kFirstWindowCeilingMs = 30000;
constexpr DWORD kReactionCeilingMs = 10000;
// Long enough for every verdict on 3,000 entries on a busy machine.
constexpr DWORD kTraceSettleMs = 8000;

bool SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

UniqueHkey OpenUninstall(HKEY root, REGSAM access) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, kUninstallPath, 0, nullptr, 0, access, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    return UniqueHkey(key);
}

std::vector<std::wstring> SubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        const LONG status =
            RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS) names.emplace_back(name, length);
    }
    return names;
}

// The bench's entries under both roots, for as long as it lives.
class SeededEntries {
  public:
    explicit SeededEntries(int entries) {
        ready_ = Seed(HKEY_LOCAL_MACHINE, 0, entries - kUserEntries) &&
                 Seed(HKEY_CURRENT_USER, entries - kUserEntries, kUserEntries);
    }
    ~SeededEntries() {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RemoveAll(root);
    }
    SeededEntries(const SeededEntries&) = delete;
    SeededEntries& operator=(const SeededEntries&) = delete;
    bool Ready() const { return ready_; }

  private:
    static bool Seed(HKEY root, int first, int count) {
        RemoveAll(root);  // what an interrupted run left
        const UniqueHkey uninstall = OpenUninstall(root, KEY_ALL_ACCESS);
        if (!uninstall) return false;
        for (int i = first; i < first + count; ++i) {
            wchar_t number[8];
            std::swprintf(number, 8, L"%05d", i);
            HKEY created = nullptr;
            if (RegCreateKeyExW(uninstall.get(), (kKeyPrefix + std::wstring(number)).c_str(), 0,
                                nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                                nullptr) != ERROR_SUCCESS) {
                return false;
            }
            const UniqueHkey entry(created);
            if (!SetText(entry.get(), L"DisplayName",
                         L"起動計測用ソフト " + std::wstring(number)) ||
                !SetText(entry.get(), L"UninstallString",
                         L"\"C:\\Program Files\\Bench\\" + std::wstring(number) +
                             L"\\uninst.exe\" /S")) {
                return false;
            }
        }
        return true;
    }
    static void RemoveAll(HKEY root) {
        const UniqueHkey uninstall = OpenUninstall(root, KEY_ALL_ACCESS);
        if (!uninstall) return;
        for (const auto& name : SubkeyNames(uninstall.get())) {
            if (name.starts_with(kKeyPrefix)) RegDeleteTreeW(uninstall.get(), name.c_str());
        }
    }
    bool ready_ = false;
};

// Entries of other programs would change what the lists hold.
std::vector<std::wstring> ForeignEntries() {
    std::vector<std::wstring> found;
    const std::pair<HKEY, REGSAM> keys[] = {{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                                            {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
                                            {HKEY_CURRENT_USER, 0}};
    for (const auto& [root, view] : keys) {
        const UniqueHkey key = OpenUninstall(root, KEY_READ | view);
        if (!key) continue;
        for (const auto& name : SubkeyNames(key.get())) {
            if (!name.starts_with(kKeyPrefix)) found.push_back(name);
        }
    }
    return found;
}

enum class Kind { kFloor, kWindowFloor, kVelmora, kPeer };

struct Program {
    Kind kind;
    const char* name;
    std::wstring commandLine;
};

struct Shown {
    HWND window = nullptr;
    HWND list = nullptr;
};

struct Search {
    DWORD processId;
    const wchar_t* listClass;
    Shown found;
};

BOOL CALLBACK FindList(HWND child, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    wchar_t name[64];
    if (GetClassNameW(child, name, 64) > 0 && lstrcmpiW(name, search.listClass) == 0) {
        search.found.list = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindWindowWithList(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !IsWindowVisible(window) ||
        GetWindow(window, GW_OWNER) != nullptr) {
        return TRUE;
    }
    EnumChildWindows(window, FindList, context);
    if (search.found.list == nullptr) return TRUE;
    search.found.window = window;
    return FALSE;
}

// The number of lines, or -1 while the program does not answer.
int LineCount(Kind kind, HWND list) {
    DWORD_PTR count = 0;
    const UINT message = kind == Kind::kPeer ? kListViewGetItemCount : LB_GETCOUNT;
    if (!SendMessageTimeoutW(list, message, 0, 0, SMTO_NORMAL, kReactionCeilingMs, &count)) {
        return -1;
    }
    return static_cast<int>(static_cast<LONG_PTR>(count));
}

// A build path as Wine sees it: "/a/b.exe" becomes "Z:\\a\\b.exe", quoted.
std::wstring QuotedWindowsPath(const char* buildPath) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, buildPath, -1, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, buildPath, -1, path.data(), length);
    path.resize(path.size() - 1);
    std::ranges::replace(path, L'/', L'\\');
    return L"\"" + (path.starts_with(L"\\") ? L"Z:" + path : path) + L"\"";
}

double Milliseconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

class Bench {
  public:
    // Starts the program and waits for its full list; records the time when
    // `record` holds.  Rescans the floor and velmora a few times.  False, with
    // what it saw printed, when a ceiling is reached.
    // The number of lines every list must reach, and the figures' suffix.
    void SetSize(int listed) {
        listed_ = listed;
        suffix_ = std::to_string(listed);
        suffix_.insert(suffix_.begin(), '_');
    }

    // settleMs: a wait before the rescans, so that a traced start shows what
    // the program does after its list is full (its verdicts on the entries).
    bool Run(const Program& program, bool record, DWORD settleMs = 0) {
        const auto started = std::chrono::steady_clock::now();
        std::wstring commandLine = program.commandLine;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info)) {
            std::fprintf(stderr, "%s: cannot start (error %lu)\n", program.name, GetLastError());
            return false;
        }
        const UniqueProcess process(info.hProcess);
        CloseHandle(info.hThread);
        const wchar_t* listClass = program.kind == Kind::kPeer ? L"SysListView32" : L"ListBox";
        Search search{info.dwProcessId, listClass, {}};
        int lines = -1;
        for (;;) {
            if (search.found.list == nullptr) {
                EnumWindows(FindWindowWithList, reinterpret_cast<LPARAM>(&search));
            }
            if (search.found.list != nullptr) {
                lines = LineCount(program.kind, search.found.list);
                if (lines == listed_) break;
            }
            if (Milliseconds(started) > kFirstWindowCeilingMs) {
                std::fprintf(stderr,
                             "%s: no visible list of %d lines after %lu ms (%s, %d lines)\n",
                             program.name, listed_, kFirstWindowCeilingMs,
                             search.found.list ? "list found" : "no window with a list", lines);
                return false;
            }
            Sleep(1);
        }
        if (record) Record(std::string("start_") + program.name + suffix_, Milliseconds(started));
        Sleep(settleMs);
        if (program.kind != Kind::kPeer && !Rescan(program, search.found, record)) return false;

        PostMessageW(search.found.window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.get(), kReactionCeilingMs) != WAIT_OBJECT_0) {
            std::fprintf(stderr, "%s: still running %lu ms after WM_CLOSE\n", program.name,
                         kReactionCeilingMs);
            return false;
        }
        return true;
    }

    // Prints every measure's median, fastest and slowest, and the ratios.
    void Report() const {
        for (const auto& [name, values] : samples_) {
            std::vector<double> sorted = values;
            std::ranges::sort(sorted);
            std::printf("figure %s %.1f %.1f %.1f %zu\n", name.c_str(), Median(sorted),
                        sorted.front(), sorted.back(), sorted.size());
        }
        for (const int size : kSizes) {
            std::string n = std::to_string(size);
            n.insert(n.begin(), '_');
            const auto ratio = [&](const char* name, const char* over, const char* under) {
                const std::string a = over + n, b = under + n;
                if (!samples_.contains(a) || !samples_.contains(b)) return;
                std::printf("ratio %s%s %.2f\n", name, n.c_str(),
                            Median(samples_.at(a)) / Median(samples_.at(b)));
            };
            ratio("start_velmora_to_floor", "start_velmora", "start_floor");
            ratio("start_velmora_to_windowfloor", "start_velmora", "start_windowfloor");
            ratio("start_velmora_to_peer", "start_velmora", "start_peer");
            ratio("rescan_velmora_to_floor", "rescan_velmora", "rescan_floor");
            ratio("rescan_velmora_to_windowfloor", "rescan_velmora", "rescan_windowfloor");
            ratio("start_earlier_to_floor", "start_earlier", "start_floor");
            ratio("rescan_earlier_to_floor", "rescan_earlier", "rescan_floor");
        }
    }

  private:
    bool Rescan(const Program& program, const Shown& shown, bool record) {
        for (int i = 0; i < kRescansPerStart; ++i) {
            const auto started = std::chrono::steady_clock::now();
            // Both answer the sent message only once the list is refilled.
            DWORD_PTR ignored = 0;
            const bool sent =
                program.kind == Kind::kFloor
                    ? SendMessageTimeoutW(shown.window, WM_COMMAND, 1002, 0, SMTO_NORMAL,
                                          kReactionCeilingMs, &ignored)
                    : SendMessageTimeoutW(GetDlgItem(shown.window, 1002), BM_CLICK, 0, 0,
                                          SMTO_NORMAL, kReactionCeilingMs, &ignored);
            const int lines = LineCount(program.kind, shown.list);
            if (!sent || lines != listed_) {
                std::fprintf(stderr, "%s: rescan %s, then %d lines\n", program.name,
                             sent ? "answered" : "not answered", lines);
                return false;
            }
            if (record) {
                Record(std::string("rescan_") + program.name + suffix_, Milliseconds(started));
            }
        }
        return true;
    }

    void Record(const std::string& name, double ms) {
        std::printf("sample %s %.1f\n", name.c_str(), ms);
        samples_[name].push_back(ms);
    }

    static double Median(std::vector<double> values) {
        std::ranges::sort(values);
        const std::size_t middle = values.size() / 2;
        return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    }

    std::map<std::string, std::vector<double>> samples_;
    int listed_ = 0;
    std::string suffix_;
};

// Runs each program once more with Wine's timestamped trace of DLL loads and
// debug strings (velmora_marked.exe marks its start-up steps, up to the last
// verdict on its entries shown), each trace after a "trace NAME SIZE" line on
// standard error.
int TraceStartUps(Bench& bench, const std::vector<Program>& programs, int rounds, int size) {
    for (int round = 0; round < rounds; ++round) {
        for (const Program& program : programs) {
            std::fprintf(stderr, "trace %s %d\n", program.name, size);
            std::fflush(stderr);
            SetEnvironmentVariableW(L"WINEDEBUG", L"+timestamp,+loaddll,+debugstr");
            const bool ran = bench.Run(program, false, kTraceSettleMs);
            SetEnvironmentVariableW(L"WINEDEBUG", L"-all");
            if (!ran) return 1;
        }
    }
    return 0;
}

}  // namespace

// Arguments: [trace] [ROUNDS [EARLIER]].  ROUNDS is 7 when not given; with
// "trace" each round traces the floor and velmora once instead of timing, at
// the smallest and the largest size.
// EARLIER, a path, is another build of velmora.exe timed in the same rounds
// as "earlier", to compare a change with what it changed.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> arguments(argv + 1, argv + argc);
    const bool trace = !arguments.empty() && arguments.front() == L"trace";
    if (trace) arguments.erase(arguments.begin());
    const int rounds = arguments.empty() ? 7 : std::max(1, _wtoi(arguments[0].c_str()));
    if (const auto foreign = ForeignEntries(); !foreign.empty()) {
        std::fprintf(stderr,
                     "the prefix holds %zu Uninstall entries of other programs; "
                     "run the bench in a fresh prefix\n",
                     foreign.size());
        return 1;
    }
    std::vector<Program> programs = {
        {Kind::kFloor, "floor", QuotedWindowsPath(VELMORA_BENCH_FLOOR_PROGRAM)},
        {Kind::kWindowFloor, "windowfloor", QuotedWindowsPath(VELMORA_BENCH_WINDOW_FLOOR_PROGRAM)},
        {Kind::kVelmora, "velmora",
         QuotedWindowsPath(trace ? VELMORA_BENCH_MARKED_PROGRAM : VELMORA_E2E_PROGRAM)},
        {Kind::kPeer, "peer", L"uninstaller.exe"},
    };
    if (arguments.size() > 1) {
        programs.push_back({Kind::kVelmora, "earlier", L"\"" + arguments[1] + L"\""});
    }
    Bench bench;
    for (const int size : kSizes) {
        if (trace && size != kSizes[0] && size != std::end(kSizes)[-1]) continue;
        const SeededEntries entries(size);
        if (!entries.Ready()) {
            std::fprintf(stderr, "could not write the bench's entries into the registry\n");
            return 1;
        }
        bench.SetSize(size);
        // Wine's list is timed at the smallest size only: it is the peer of
        // the start-up target, not of the larger sizes.
        std::vector<Program> timed = programs;
        if (size != kSizes[0])
            std::erase_if(timed, [](const Program& p) { return p.kind == Kind::kPeer; });
        // One untimed start each: the first start of a program in a prefix
        // loads and caches what later starts find ready.
        for (const Program& program : timed) {
            if (!bench.Run(program, false)) return 1;
        }
        if (trace) {
            if (TraceStartUps(bench, {programs[0], programs[2]}, rounds, size) != 0) return 1;
            continue;
        }
        // Each round starts them in a different order, so that none always
        // follows the same one.
        for (int round = 0; round < rounds; ++round) {
            for (std::size_t i = 0; i < timed.size(); ++i) {
                if (!bench.Run(timed[(round + i) % timed.size()], true)) return 1;
            }
        }
    }
    bench.Report();
    return 0;
}
