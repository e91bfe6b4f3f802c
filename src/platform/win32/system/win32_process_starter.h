// Starting an uninstaller's command line with CreateProcessW, and through the
// shell's "runas" verb when the program asks for elevation.
#pragma once

#include <optional>
#include <string>

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

class Win32ProcessStarter : public ProcessStarter {
  public:
    // Expands environment references, then starts the command line as it is
    // (no application name, so quoted paths and arguments work as stored),
    // window shown normally.  Does not wait and keeps no handle.  Never throws.
    StartResult Start(const std::wstring& commandLine, WindowHandle owner) override;
};

}  // namespace velmora::platform::win32
