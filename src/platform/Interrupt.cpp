// Interrupts that end the copy under way instead of the process, for the tools.
#include "FileSystem.h"

#include <csignal>

#ifdef _WIN32
#include <windows.h>
#endif

namespace Platform {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

#ifdef _WIN32
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    g_interrupted = 1;
    return TRUE;
}
#else
void OnSignal(int)
{
    g_interrupted = 1;
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

bool Interrupted()
{
    return g_interrupted != 0;
}

}  // namespace Platform
