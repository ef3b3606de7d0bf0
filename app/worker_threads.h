// Starts the program's worker threads. Nothing joins them: each ends by returning, and the program does
// not wait for a late one when its last window has closed.
#pragma once

#include <chrono>
#include <functional>

namespace lunvek {

// Returns false when the thread could not be started; the work is then simply not done.
bool start_worker(std::function<void()> routine);

// Workers started and not yet returned.
int running_workers();

// For orderly ends (tests, a quiet exit): waits until no worker runs, at most `limit`.
bool wait_for_workers(std::chrono::milliseconds limit);

}  // namespace lunvek
