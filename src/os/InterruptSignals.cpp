// Ctrl-C, SIGINT and SIGTERM taken as an interrupt, for the tools. Apart from
// Interrupt.cpp so that the installer, which asks for no console, carries none
// of it.
#include "FileSystem.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
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
    // A file-size limit (ulimit -f) is a failed write like a full disk: the
    // write reports EFBIG, and the copy fails with its reason, instead of
    // the signal ending the process half-way.
    signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace Platform
