// The interrupt that ends a run's copy under way instead of the process.
#include "FileSystem.h"

#include <atomic>

namespace Platform {

namespace {

// Set from a signal handler, the console's handler thread or the dialog's
// thread, read by the thread that copies: a lock-free atomic is safe in all.
std::atomic<bool> g_interrupted{false};

}  // namespace

bool Interrupted()
{
    return g_interrupted.load();
}

void Interrupt()
{
    g_interrupted.store(true);
}

}  // namespace Platform
