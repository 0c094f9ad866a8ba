// The process entry: hardens DLL loading, then hands over to the application object.
#include <cstdlib>
#include <process.h>
#include <windows.h>

#include "framework/Application.h"
#include "platform/win32/LaterWindows.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything can load a DLL: never from the directory the installer
    // was downloaded to and started from.
    Platform::RestrictDllSearch();
    return RunApplication();
}

// Where the process starts, in place of the C runtime's start-up code, which
// would take 3 KB of the installer's code budget for what it does not need:
// it takes no arguments and keeps no thread-local data, and the runtime's
// DLL readies itself when it loads. What it does need is done here: the
// objects made at start-up (theApp) are constructed by __main, the
// compiler's own, and destroyed at exit by the runtime's _cexit, which runs
// what atexit registered; then the process ends with WinMain's exit code.
// (The runtime's exit does both, but under Wine it did not return after a
// run that opened a file, in tests/kivinstall/compare-installs.sh.)
extern "C" void __main();

extern "C" int atexit(void (*function)()) { return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1; }

extern "C" void KivSetupStart()
{
    __main();
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWDEFAULT);
    _cexit();
    ExitProcess(static_cast<UINT>(code));
}
