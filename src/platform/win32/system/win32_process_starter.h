// Starting an uninstaller's command line with CreateProcessW, and through the
// shell's "runas" verb when the program asks for elevation.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/process_starter.h"

namespace velmora::platform::win32 {

struct CommandLineParts {
    std::wstring program;
    std::wstring arguments;

    bool operator==(const CommandLineParts&) const = default;
};

// Tells whether a name is a program file that can be started.
using ProgramProbe = std::function<bool(const std::wstring& name)>;

// Splits a command line into its program and its arguments, the way the shell
// needs them.  Leading blanks (spaces, tabs) are skipped.  A quoted program is
// taken without its quotes (up to the closing quote, or to the end when there
// is none).  An unquoted program ends at a blank; with a probe, the first
// blank after which the text so far names a program wins, as CreateProcessW
// reads "C:\Program Files\App\uninst.exe /S", else the first blank.  The
// arguments are the rest, leading blanks removed.
CommandLineParts SplitCommandLine(std::wstring_view commandLine,
                                  const ProgramProbe& isProgram = {});

// Expands %NAME% references from this process's environment; a reference to
// an undefined variable stays as written.  Empty when the expansion fails.
std::optional<std::wstring> ExpandEnvironmentReferences(const std::wstring& text);

// Starts an already expanded command line through ShellExecuteExW with the
// "runas" verb, which shows the consent prompt owned by owner (a window
// handle, or 0); refusing the prompt gives kDeclined.
StartResult StartElevated(const std::wstring& commandLine, WindowHandle owner);

class Win32ProcessStarter : public ProcessStarter {
  public:
    // Expands environment references, then starts the command line as it is
    // (no application name, so quoted paths and arguments work as stored),
    // window shown normally.  Does not wait and keeps no handle.  Never throws.
    StartResult Start(const std::wstring& commandLine, WindowHandle owner) override;
};

}  // namespace velmora::platform::win32
