// Whether an entry's uninstaller is still there, judged from its command line
// alone, the way a start would read it, without starting anything.
//
// Missing is said only when it is certain: every file the line may name is
// an absolute path on a fixed drive that the system reports as not found,
// or the Windows Installer product it removes is not registered.  A network
// or removable drive, a bare program name, a reference left unexpanded or
// any other error gives unknown, never missing.
#pragma once

#include <string>
#include <string_view>

#include "platform/uninstaller_checks.h"
#include "platform/uninstaller_probe.h"

namespace velmora::verdict {

struct Judgement {
    platform::Verdict verdict = platform::Verdict::kUnknown;
    // The file found: the program, or the DLL or script a host program is
    // given.  Empty unless present by a file.
    std::wstring found;
};

// thirtyTwoBitView: the entry was read from the machine's 32-bit registry
// view, whose programs see SysWOW64 as System32 and the x86 Program Files
// folders as %ProgramFiles% and %CommonProgramFiles%.
Judgement JudgeUninstaller(const platform::UninstallerProbe& probe, std::wstring_view commandLine,
                           bool thirtyTwoBitView);

}  // namespace velmora::verdict
