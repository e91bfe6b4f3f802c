// The end-to-end scenarios. Each starts the program afresh on a registry it
// seeds itself and removes what it seeded when it ends.
#pragma once

#include "checks.h"
#include "scenario_support.h"

namespace velmora::e2e {

// Start-up, showing a line's command line, refresh, and the keyboard.
void StartUpAndBrowsingScenario(Checks& checks, const Environment& environment);
// Starting an entry's uninstaller and the rescans that follow.
void RunUninstallerScenario(Checks& checks, const Environment& environment);
// Deleting an entry's registry key after the question.
void DeleteEntryScenario(Checks& checks, const Environment& environment);
// Real installers (NSIS, Windows Installer) installed silently; the NSIS
// program's own uninstaller run through the window and completed, the
// package's stale entry deleted with nothing else in the registry changed.
void RealInstallersScenario(Checks& checks, const Environment& environment);
// Every deletion saved first to a registry file that reg import restores, in
// each root and view; no deletion when the file cannot be written.
void BackupScenario(Checks& checks, const Environment& environment);
// Entries of the machine's 64-bit and 32-bit registry views, and deleting a
// same-named one in its own view.
void BothViewsScenario(Checks& checks, const Environment& environment);
// Names and values at their length limits, 0x5C trail bytes, values of other
// types, and a key removed by another program before the delete command.
void OddValuesScenario(Checks& checks, const Environment& environment);
// 10,000 subkeys under the machine's Uninstall key.
void LargeRegistryScenario(Checks& checks, const Environment& environment);
// The main window at 144 dpi, staged through Wine's LogPixels.
void HighDpiScenario(Checks& checks, const Environment& environment);
// The modal version dialog.
void VersionDialogScenario(Checks& checks, const Environment& environment);
// Ending the program by its button and by closing its window.
void EndingScenario(Checks& checks, const Environment& environment);
// Start-up and rescan times on a full table (printed, not judged).
void TimingScenario(Checks& checks, const Environment& environment);

}  // namespace velmora::e2e
