#include "platform/win32/CopyProgress.h"

#include "platform/Interrupt.h"

namespace Platform {

DWORD CALLBACK CancelWhenInterrupted(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE,
                                     HANDLE, LPVOID)
{
    return Interrupted() ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

}  // namespace Platform
