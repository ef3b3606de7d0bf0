// Internal: runs jobs on detached worker threads. A thread that finishes its job waits a while for the next
// one before it ends, so that a burst of timed requests wakes a waiting thread instead of starting a new one
// each time (a new thread can wait a whole time slice before it first runs on a busy machine).
#pragma once

#include <functional>

namespace lunvek::detail {

// False when no thread could be started for the job; the job then never runs.
bool run_detached(std::function<void()> job);

}  // namespace lunvek::detail
