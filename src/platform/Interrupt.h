// An interrupt of the copies under way: Ctrl-C, SIGINT and SIGTERM, the end of the Windows session.
#pragma once

namespace Platform {

// From now on, an interrupt (Ctrl-C, or SIGINT and SIGTERM on POSIX systems)
// no longer ends the process at once: it calls Interrupt(). A file-size limit
// (SIGXFSZ) no longer ends it either: the write that passes it fails (EFBIG).
void StopCopiesOnInterrupt();

// Ends the copy under way and tells the caller to take no further step:
// Interrupted() is true from now on. Callable from any thread and from a
// signal handler. The copy stops between two of its 64 KiB blocks (on Windows
// at CopyFileEx's next progress report; Wine sends none, so there it stops
// when the data is copied), fails with EINTR or ERROR_REQUEST_ABORTED, removes
// its temporary and leaves the destination as it was.
void Interrupt();
bool Interrupted();

// Takes an interrupt back, for a test that interrupts a copy in a process that
// goes on; a run that was interrupted ends instead.
void ClearInterrupt();

}  // namespace Platform
