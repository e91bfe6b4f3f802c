// Starting an uninstaller's command line with CreateProcessW, and through the
// shell's "runas" verb when the program asks for elevation; a user's own
// entry, while this process runs elevated, only in one of the unelevated
// ways of unelevated_start.h.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/process_starter.h"

namespace velmora::platform::win32 {

// Expands %NAME% references from this process's environment; a reference to
// an undefined variable stays as written.  Empty when the expansion fails.
std::optional<std::wstring> ExpandEnvironmentReferences(const std::wstring& text);

// Starts an already expanded command line through ShellExecuteExW with the
// "runas" verb, which shows the consent prompt owned by owner (a window
// handle, or 0); refusing the prompt gives kDeclined.
StartResult StartElevated(const std::wstring& commandLine, WindowHandle owner);

// The system calls the starter makes, each replaceable so that a test can
// see which of them a start takes.
struct StartCalls {
    std::function<bool()> runningElevated;
    // CreateProcessW with this process's rights: 0 once the program runs,
    // else the system's error code.
    std::function<std::uint32_t(const std::wstring& commandLine)> start;
    std::function<StartResult(const std::wstring& commandLine, WindowHandle owner)> startElevated;
    // The unelevated ways, in the order they are tried.
    std::vector<std::function<bool(const std::wstring& commandLine, const CommandLineParts& parts)>>
        unelevated;
};

// The real ones.  The unelevated ways come in this order: the desktop's
// shell first, which gives exactly the rights and prompts the user's own
// desktop gives; then the restricted token, which needs neither the shell
// nor a privilege; then the linked token, which Windows keeps to services
// and Wine allows.
StartCalls SystemStartCalls();

class Win32ProcessStarter : public ProcessStarter {
  public:
    Win32ProcessStarter();
    explicit Win32ProcessStarter(StartCalls calls) : calls_(std::move(calls)) {}
    // Expands environment references, then starts the command line as it is
    // (no application name, so quoted paths and arguments work as stored),
    // window shown normally.  Does not wait and keeps no handle.  Never throws.
    StartResult Start(const std::wstring& commandLine, WindowHandle owner,
                      EntryScope scope) override;

  private:
    StartResult StartUnelevated(const std::wstring& commandLine) const;

    StartCalls calls_;
};

}  // namespace velmora::platform::win32
