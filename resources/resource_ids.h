// Resource ids of velmora.exe, shared by the resource script and the window
// code. Kept free of C++ so that the resource compiler can read it.
#ifndef VELMORA_RESOURCE_IDS_H
#define VELMORA_RESOURCE_IDS_H

// The program icon. The lowest icon id, so the shell shows it for the file.
#define IDI_VELMORA 1

#endif
