// Windows' calls that came after Windows XP SP3, looked up at run time, each with its safe equivalent where it is missing (Windows only).
#pragma once
#include <windows.h>

// A call that KivSetup.exe imports must exist on every Windows it starts on,
// or Windows refuses to start it at all ("The procedure entry point ... could
// not be located"). The calls below came later; each is looked up in a DLL the
// process has loaded already (kernel32, user32), never loaded by name, and
// where it is missing the program does what Windows documents for the
// systems that lack it.
namespace Platform {

// How DLLs are searched for from now on.
enum class DllSearch {
    System32Only,        // SetDefaultDllDirectories: Windows 8 on, 7 with KB2533623
    NoCurrentDirectory,  // SetDllDirectoryW(L""): the current directory is out of the search (XP SP1 on)
    Unchanged,           // neither call could be made
};

// Before anything loads a DLL: no DLL comes from the directory the program was
// downloaded to and started from. Where Windows can, only System32 is
// searched; elsewhere at least the current directory is not.
DllSearch RestrictDllSearch();

// The reason Windows shows while window keeps the session from ending
// (ShutdownBlockReasonCreate, Vista on). Without it nothing is shown; the
// window refuses the session's end all the same.
void ShowShutdownReason(HWND window, const wchar_t* reason);
void HideShutdownReason(HWND window);

// The seam of every lookup above and of the file-system view (Platform.h):
// finds a call by DLL and name. Tests pass one that finds nothing, as on
// Windows XP; nullptr goes back to the real lookup.
using CallLookup = FARPROC (*)(const wchar_t* module, const char* name);
void SetCallLookup(CallLookup lookup);
FARPROC LookUpCall(const wchar_t* module, const char* name);

}  // namespace Platform
