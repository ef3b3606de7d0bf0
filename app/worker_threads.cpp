#include "app/worker_threads.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace lunvek {

namespace {

// Never destroyed: a detached worker may still finish while the process runs its exit handlers.
struct Census {
    std::mutex mutex;
    std::condition_variable all_done;
    int running = 0;
};

Census& census() {
    static auto* instance = new Census;
    return *instance;
}

}  // namespace

bool start_worker(std::function<void()> routine) {
    Census& c = census();
    {
        std::lock_guard lock(c.mutex);
        ++c.running;
    }
    try {
        std::thread([routine = std::move(routine), &c] {
            try {
                routine();
            } catch (...) {  // a worker's failure stays quiet, like every failure of the program
            }
            std::lock_guard lock(c.mutex);
            if (--c.running == 0) {
                c.all_done.notify_all();
            }
        }).detach();
        return true;
    } catch (const std::system_error&) {
        std::lock_guard lock(c.mutex);
        --c.running;
        return false;
    }
}

int running_workers() {
    Census& c = census();
    std::lock_guard lock(c.mutex);
    return c.running;
}

bool wait_for_workers(std::chrono::milliseconds limit) {
    Census& c = census();
    std::unique_lock lock(c.mutex);
    return c.all_done.wait_for(lock, limit, [&] { return c.running == 0; });
}

}  // namespace lunvek
