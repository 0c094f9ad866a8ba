// The interrupt that ends the copy under way instead of the process: set by
// the tools' signal and console handlers (InterruptSignals.cpp) and by the
// dialog at the end of a Windows session.
#include "platform/Platform.h"
#include "platform/Interrupt.h"

#include <atomic>

namespace Platform {

namespace {

// Set from a signal handler, the console's handler thread or any other
// thread, read by the thread that copies: a lock-free atomic is safe in all.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

}  // namespace

void Interrupt() { g_interrupted = true; }

void ClearInterrupt() { g_interrupted = false; }

bool Interrupted() { return g_interrupted; }

}  // namespace Platform
