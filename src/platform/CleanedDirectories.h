// Which directories a run has cleaned of the temporaries of runs that ended: each once per run, on both systems.
#pragma once
#include <cstddef>

namespace Platform {

// A run's first copy into a directory cleans it (Platform.h: CCopyRun). The
// record names each directory by a key that tells it from every other one:
// on Windows its path as the run writes it, natively its device and inode
// numbers. Keys are compared whole, so no directory is taken for another and
// left uncleaned. The record has a fixed size: once it holds
// kCleanedDirectories directories, or its keys fill kCleanedKeyBytes, it is
// emptied, so that in a long run a directory may be cleaned again: one more
// look at it, which removes only temporaries of runs that have ended, as
// every cleaning does.
constexpr size_t kCleanedDirectories = 1024;
constexpr size_t kCleanedKeyBytes = 32768;

// True when the directory of key (length bytes, far fewer than
// kCleanedKeyBytes: a path of Windows holds at most 259) is cleaned for the
// first time in this run, which records it from now on; false when it was
// already. Not thread-safe: the record is one global of the process, and a
// run asks it from the thread that walks its steps.
bool FirstCleaning(const void* key, size_t length);

// A run starts: no directory is recorded. Not thread-safe either.
void ForgetCleanedDirectories();

}  // namespace Platform
