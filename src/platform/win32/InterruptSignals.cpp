// Ctrl-C and Ctrl-Break taken as an interrupt, for the tools on Windows. Apart
// from Interrupt.cpp so that the installer, which asks for no console,
// carries none of it.
#include <windows.h>

#include "platform/Platform.h"
#include "platform/Interrupt.h"

namespace Platform {

namespace {

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    Interrupt();
    return TRUE;
}

}  // namespace

void StopCopiesOnInterrupt() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

}  // namespace Platform
