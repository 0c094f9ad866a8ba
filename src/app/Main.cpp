// The process entry: hardens DLL loading, then hands over to the application object.
#include <windows.h>

#include "Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before anything can load a DLL: only from System32, never from the
    // directory the installer was downloaded to and started from.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return RunApplication();
}
