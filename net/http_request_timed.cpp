// The caller side of a timed request: hands the request to a worker thread, waits for it within the time
// limit (keeping the window alive through the installed hook) and reads the result back.
#include "net/http_request_timed.h"

#include <algorithm>

#include "net/timed_request_worker.h"
#include "net/worker_threads.h"

namespace lunvek {

namespace {

std::atomic<int> workers_running{0};

struct WaitHook {
    std::mutex mutex;
    TimedRequestWaitHook hook;
};

WaitHook& wait_hook() {
    static WaitHook* const instance = new WaitHook;  // never deleted: outlives every waiting thread
    return *instance;
}

TimedRequestWaitHook current_wait_hook() {
    std::lock_guard lock(wait_hook().mutex);
    return wait_hook().hook;
}

bool start_worker(const std::shared_ptr<detail::TimedRequestShared>& shared) {
    workers_running.fetch_add(1);
    const bool started = detail::run_detached([shared] {
        detail::timed_request_worker(shared);
        {
            std::lock_guard lock(shared->mutex);
            shared->finished = true;
        }
        shared->finished_changed.notify_all();
        workers_running.fetch_sub(1);
    });
    if (!started) {
        workers_running.fetch_sub(1);
    }
    return started;
}

// True when the worker ended in time. The whole call is bounded by the limit, however many events the hook
// dispatches meanwhile.
bool wait_for_worker(detail::TimedRequestShared& shared, std::chrono::milliseconds limit) {
    using clock = std::chrono::steady_clock;
    constexpr std::chrono::milliseconds hook_interval{10};
    const auto deadline = clock::now() + limit;
    TimedRequestWaitHook hook = current_wait_hook();
    std::unique_lock lock(shared.mutex);
    for (;;) {
        if (hook) {
            lock.unlock();
            const bool serves_window = hook();
            lock.lock();
            if (!serves_window) {
                hook = nullptr;
            }
        }
        if (shared.finished) {
            return true;
        }
        const auto now = clock::now();
        if (now >= deadline) {
            return false;
        }
        shared.finished_changed.wait_until(lock, hook ? std::min(deadline, now + hook_interval) : deadline);
    }
}

}  // namespace

std::chrono::milliseconds timed_request_wait(int time_limit) {
    const long long seconds = time_limit > 0 ? time_limit : 90;
    return std::chrono::milliseconds(seconds * 1000);
}

void set_timed_request_wait_hook(TimedRequestWaitHook hook) {
    std::lock_guard lock(wait_hook().mutex);
    wait_hook().hook = std::move(hook);
}

int timed_request_workers_running() {
    return workers_running.load();
}

Bytes http_request_timed(const Text& url, TimedRequestOptions& options) {
    auto shared = std::make_shared<detail::TimedRequestShared>();
    {
        std::lock_guard lock(shared->mutex);
        HandoffBuffer& buffer = shared->buffer;
        buffer.write_text(detail::request_marker);
        for (const Text* field :
             std::initializer_list<const Text*>{&url, &options.method, &options.post_text, &options.headers,
                                                &options.proxy, &options.user_name, &options.password}) {
            buffer.write_text(*field);
        }
    }
    const bool finished = start_worker(shared) && wait_for_worker(*shared, timed_request_wait(options.time_limit));
    if (!finished) {
        shared->cancelled = true;  // the worker runs on alone; its late result is never read
    }

    Text marker;
    Bytes body;
    {
        std::lock_guard lock(shared->mutex);
        HandoffBuffer& buffer = shared->buffer;
        buffer.seek(0);
        buffer.read_text(marker);
        buffer.read_text(options.response_headers);
        buffer.read_bytes(body);
    }
    if (marker != detail::result_marker || !finished) {
        body.clear();
    }
    return body;
}

Bytes http_request_timed(const Text& url, const Text& method, const Text& post_text, const Text& headers,
                         int time_limit) {
    TimedRequestOptions options;
    options.method = method;
    options.post_text = post_text;
    options.headers = headers;
    options.time_limit = time_limit;
    return http_request_timed(url, options);
}

}  // namespace lunvek
