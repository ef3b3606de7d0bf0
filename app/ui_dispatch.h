// The one way from a worker thread to the window thread.
// post() queues work that runs on the window thread in the order it was posted, from every thread together.
// call() and ask() also wait for the window thread's answer. Once close() has run (the window is gone),
// queued work is dropped unrun, new posts are dropped, and every waiting call returns its fallback at once.
#pragma once

#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace lunvek {

class UiDispatch {
  public:
    // Must be constructed on the window thread: that thread's default main context runs the work.
    UiDispatch();
    ~UiDispatch();
    UiDispatch(const UiDispatch&) = delete;
    UiDispatch& operator=(const UiDispatch&) = delete;

    void post(std::function<void()> work);

    // Runs `work` on the window thread and returns its result; `fallback` when the window is gone first.
    template <typename Result>
    Result call(std::function<Result()> work, Result fallback);

    // For answers that come later (a message box): `start` runs on the window thread and hands its answer
    // to the callback it is given, at most once. If every copy of that callback is dropped unanswered
    // (the window closed), the waiting thread gets `fallback`.
    template <typename Result>
    Result ask(std::function<void(std::function<void(Result)>)> start, Result fallback);

    // Window thread only. Idempotent.
    void close();
    bool closed() const;
    bool on_window_thread() const { return std::this_thread::get_id() == window_thread_; }

    struct Queue;  // the shared state behind the dispatcher; defined in the implementation

  private:
    // Keeps the window thread's loop turning while a call made on the window thread itself waits.
    void iterate_until(const std::function<bool()>& done);

    std::shared_ptr<Queue> queue_;
    std::thread::id window_thread_;
};

template <typename Result>
Result UiDispatch::call(std::function<Result()> work, Result fallback) {
    if (on_window_thread()) {
        return closed() ? fallback : work();
    }
    auto task = std::make_shared<std::packaged_task<Result()>>(std::move(work));
    std::future<Result> answer = task->get_future();
    // The queue holds the only reference: dropping the work breaks the promise and wakes this thread.
    post([task = std::move(task)] { (*task)(); });
    try {
        return answer.get();
    } catch (...) {  // broken promise: the work was dropped because the window went away
        return fallback;
    }
}

template <typename Result>
Result UiDispatch::ask(std::function<void(std::function<void(Result)>)> start, Result fallback) {
    auto promise = std::make_shared<std::promise<Result>>();
    std::future<Result> answer = promise->get_future();
    // The promise is shared only by copies of the reply callback: when the last of them is destroyed
    // unanswered, the promise breaks and the waiting thread wakes up.
    struct Reply {
        std::shared_ptr<std::promise<Result>> promise;
        std::shared_ptr<std::once_flag> once = std::make_shared<std::once_flag>();
        void operator()(Result value) const {
            std::call_once(*once, [&] { promise->set_value(std::move(value)); });
        }
    };
    post([start = std::move(start), reply = Reply{std::move(promise)}]() mutable {
        auto handed = std::move(reply);
        start(std::function<void(Result)>(std::move(handed)));
    });
    if (on_window_thread()) {
        iterate_until([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    }
    try {
        return answer.get();
    } catch (...) {
        return fallback;
    }
}

}  // namespace lunvek
