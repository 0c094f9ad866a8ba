// Work the tools share out among threads: helpers beside this thread, and one task beside another.
#pragma once
#include <functional>

// Runs work on this thread and on up to three helper threads, one per
// processor but one (work takes its shares itself, as from a counter); a
// helper that cannot be started leaves its share to the others. meanwhile,
// when given, runs on this thread first, while the helpers already work.
// Returns when every run of work has returned; the first exception a run
// threw is thrown here.
void RunOnHelpers(const std::function<void()>& work, const std::function<void()>& meanwhile = nullptr);

// Runs side on a thread of its own while here runs on this one, or after
// here when no thread can be started; an exception of side's is thrown here
// once both have returned.
void RunBeside(const std::function<void()>& side, const std::function<void()>& here);
