// The ways an elevated process can start a program with the rights the user
// has without elevation.  Each returns true once the program runs with such
// rights, and false, having started nothing, when its way is closed here;
// the process starter tries them in turn.
#pragma once

#include <windows.h>

#include <string>

#include "platform/command_line.h"

namespace velmora::platform::win32 {

// How every start shows the program's window: normally, as a double click
// would.
inline STARTUPINFOW ShownNormally() {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    return startup;
}

// Whether the process runs elevated (TokenElevation); when that cannot be
// told, it counts as elevated.
bool ProcessIsElevated(HANDLE process);
inline bool RunningElevated() { return ProcessIsElevated(::GetCurrentProcess()); }

// Asks the desktop's shell to start the program, as a double click on the
// desktop would: it then runs with the desktop's own token, the user's
// unelevated rights, and an uninstaller that asks for administrator rights
// gets the consent prompt as from Windows' own list.  Closed without a shell
// desktop, or when the desktop itself runs elevated.
bool StartThroughDesktop(const std::wstring& commandLine, const CommandLineParts& parts);

// Starts the command line with a restricted copy of this process's token
// (SaferComputeTokenFromLevel at the normal-user level: administrators'
// group deny-only, privileges removed) at medium integrity.  Needs no
// privilege: CreateProcessAsUserW takes a restricted version of the caller's
// own token from anyone.
bool StartWithNormalUserToken(const std::wstring& commandLine, const CommandLineParts& parts);

// Starts the command line with the token linked to this process's one, the
// user's own unelevated token.  CreateProcessAsUserW needs
// SE_ASSIGNPRIMARYTOKEN_NAME for it, which Windows gives to services rather
// than administrators; Wine runs it.
bool StartWithLinkedToken(const std::wstring& commandLine, const CommandLineParts& parts);

}  // namespace velmora::platform::win32
