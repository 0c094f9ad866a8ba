// The progress routine every CopyFileEx of the platform's copies runs (Windows only).
#pragma once
#include <windows.h>

namespace Platform {

// Cancels CopyFileEx at its next progress report once the run is
// interrupted (Interrupt.h). Wine calls no progress routine: there the
// caller refuses a copy that ended after an interrupt.
DWORD CALLBACK CancelWhenInterrupted(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE,
                                     HANDLE, LPVOID);

}  // namespace Platform
