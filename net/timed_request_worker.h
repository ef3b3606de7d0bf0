// Internal: the state a timed request shares with its worker. The worker co-owns it, so a worker abandoned
// after a time-out only ever touches memory that stays alive for it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "net/handoff_buffer.h"

namespace lunvek::detail {

inline constexpr const char* request_marker = "Tobrine";
inline constexpr const char* result_marker = "Tobrine_OK";

struct TimedRequestShared {
    std::mutex mutex;  // guards buffer and finished
    std::condition_variable finished_changed;
    HandoffBuffer buffer;
    bool finished = false;
    std::atomic<bool> cancelled{false};  // set by the caller on time-out; ends the transfer early
};

// Runs on the worker thread. True when it got as far as writing a result record.
bool timed_request_worker(const std::shared_ptr<TimedRequestShared>& shared);

}  // namespace lunvek::detail
