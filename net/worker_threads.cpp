#include "net/worker_threads.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace lunvek::detail {

namespace {

constexpr std::chrono::seconds idle_lifetime{30};

struct Workers {
    std::mutex mutex;
    std::condition_variable job_ready;
    std::deque<std::function<void()>> jobs;
    std::size_t idle = 0;
};

// Never destroyed: idle and abandoned workers still wait on it while the process ends.
Workers& workers() {
    static Workers* const instance = new Workers;
    return *instance;
}

void work() {
    Workers& pool = workers();
    std::unique_lock lock(pool.mutex);
    for (;;) {
        ++pool.idle;
        const bool got_job = pool.job_ready.wait_for(lock, idle_lifetime, [&] { return !pool.jobs.empty(); });
        --pool.idle;
        if (!got_job) {
            return;
        }
        std::function<void()> job = std::move(pool.jobs.front());
        pool.jobs.pop_front();
        lock.unlock();
        job();
        job = nullptr;  // whatever the job owns is released before the thread waits again
        lock.lock();
    }
}

}  // namespace

bool run_detached(std::function<void()> job) {
    Workers& pool = workers();
    std::lock_guard lock(pool.mutex);
    pool.jobs.push_back(std::move(job));
    if (pool.idle >= pool.jobs.size()) {
        pool.job_ready.notify_one();
        return true;
    }
    try {
        std::thread(work).detach();
        return true;
    } catch (const std::system_error&) {
        pool.jobs.pop_back();
        return false;
    }
}

}  // namespace lunvek::detail
