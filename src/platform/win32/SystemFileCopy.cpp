// CopyNewSystemFile on Windows: kivpack's copies, by the system's UTF-16 names. Kept apart from the
// installer's own calls, whose executable imports nothing it does not call.
#include "platform/Platform.h"

#include <windows.h>

#include "platform/Interrupt.h"
#include "platform/win32/CopyProgress.h"

namespace Platform {

bool CopyNewSystemFile(const SystemChar* source, const SystemChar* destination)
{
    // CopyFileEx keeps the last-write time and removes a copy it cancels. One
    // that an interrupt came too late to cancel (under Wine, which calls no
    // progress routine, every one) is refused and removed here; a read-only
    // copy loses the attribute first, which deletion would refuse.
    if (!CopyFileExW(source, destination, CancelWhenInterrupted, nullptr, nullptr, COPY_FILE_FAIL_IF_EXISTS))
        return false;
    if (!Interrupted())
        return true;
    SetFileAttributesW(destination, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(destination);
    SetLastError(ERROR_REQUEST_ABORTED);
    return false;
}

}  // namespace Platform
