// The driver's own small check framework: one printed line per check and a
// closing "N passed, N failed" line.  A failed check also prints what the
// driver saw at that moment, so that a failure can be understood from the
// log alone.
#pragma once

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::e2e {

// Thrown by Checks::Require: the current scenario cannot go on.
struct ScenarioAborted : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Thrown where this system cannot stage the rest of a scenario (not a fault
// of the program); what() says why, and the rest is skipped.
struct ScenarioSkipped : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Checks {
  public:
    // Tells the state of whatever is under test, for a failed check's report.
    using Observer = std::function<std::wstring()>;

    Checks() : started_(std::chrono::steady_clock::now()) {}

    // Records and prints one outcome; returns ok.  A failure is followed by
    // the time since the run began, the observer's report and every visible
    // top-level window.
    bool Check(bool ok, std::wstring_view what, std::wstring_view detail = {});
    // As Check, but a failure ends the current scenario.
    void Require(bool ok, std::wstring_view what, std::wstring_view detail = {});
    // Records and prints checks that this system cannot run, and why.
    void Skip(std::wstring_view what);

    // Installs an observer and returns the one it replaces.
    Observer Observe(Observer observer) { return std::exchange(observer_, std::move(observer)); }

    int Passed() const { return passed_; }
    int Failed() const { return failed_; }
    int Skipped() const { return skipped_; }

  private:
    void ReportState() const;

    std::chrono::steady_clock::time_point started_;
    Observer observer_;
    int passed_ = 0;
    int failed_ = 0;
    int skipped_ = 0;
};

// Installs an observer for as long as it lives, then puts the previous one back.
class ObserverScope {
  public:
    ObserverScope(Checks& checks, Checks::Observer observer)
        : checks_(checks), previous_(checks.Observe(std::move(observer))) {}
    ~ObserverScope() { checks_.Observe(std::move(previous_)); }
    ObserverScope(const ObserverScope&) = delete;
    ObserverScope& operator=(const ObserverScope&) = delete;

  private:
    Checks& checks_;
    Checks::Observer previous_;
};

// Writes one line to standard output as UTF-8.
void PrintLine(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
std::wstring Quote(std::wstring_view text);
// The lines joined for a failure detail: "[a] [b] ...".
std::wstring Describe(const std::vector<std::wstring>& lines);

}  // namespace velmora::e2e
