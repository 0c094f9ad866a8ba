// SIGINT and SIGTERM taken as an interrupt, and a file-size limit as a failed
// write, for the tools on POSIX systems.
#include <csignal>

#include "platform/Platform.h"
#include "platform/Interrupt.h"

namespace Platform {

namespace {

void OnSignal(int) { Interrupt(); }

}  // namespace

void StopCopiesOnInterrupt()
{
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
}

}  // namespace Platform
