// The driver's own small check framework: one printed line per check and a
// closing "N passed, N failed" line.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::e2e {

// Thrown by Checks::Require: the current scenario cannot go on.
struct ScenarioAborted : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Checks {
  public:
    // Records and prints one outcome; returns ok.
    bool Check(bool ok, std::wstring_view what, std::wstring_view detail = {});
    // As Check, but a failure ends the current scenario.
    void Require(bool ok, std::wstring_view what, std::wstring_view detail = {});

    int Passed() const { return passed_; }
    int Failed() const { return failed_; }

  private:
    int passed_ = 0;
    int failed_ = 0;
};

// Writes one line to standard output as UTF-8.
void PrintLine(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
std::wstring Quote(std::wstring_view text);
// The lines joined for a failure detail: "[a] [b] ...".
std::wstring Describe(const std::vector<std::wstring>& lines);

}  // namespace velmora::e2e
