// Ctrl-C and SIGTERM made interrupts, for the tools. In a file of its own, so that KivSetup.exe,
// which takes no console events, does not carry it: MinGW's linker keeps every function of an
// object file it links.
#include "FileSystem.h"

#include <csignal>

#ifdef _WIN32
#include <windows.h>
#endif

namespace Platform {

namespace {

#ifdef _WIN32
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    Interrupt();
    return TRUE;
}
#else
void OnSignal(int)
{
    Interrupt();
}
#endif

}  // namespace

void StopCopiesOnInterrupt()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    // Without SA_RESTART, so that a read or write waiting on the disk returns.
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

}  // namespace Platform
