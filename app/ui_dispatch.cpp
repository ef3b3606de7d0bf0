#include "app/ui_dispatch.h"

#include <glib.h>

namespace lunvek {

struct UiDispatch::Queue {
    std::mutex mutex;
    std::deque<std::function<void()>> work;
    bool drain_scheduled = false;
    bool closed = false;
    GMainContext* context = nullptr;
};

namespace {

// Runs on the window thread: everything queued so far, in order. Work posted meanwhile schedules another
// drain, so a long burst from a worker still lets the loop draw between drains.
gboolean drain(gpointer data) {
    auto& queue = **static_cast<std::shared_ptr<UiDispatch::Queue>*>(data);
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(queue.mutex);
        batch.swap(queue.work);
        queue.drain_scheduled = false;
    }
    while (!batch.empty()) {
        {
            std::lock_guard lock(queue.mutex);
            if (queue.closed) {
                break;
            }
        }
        auto work = std::move(batch.front());
        batch.pop_front();
        work();
    }
    return G_SOURCE_REMOVE;
}

void forget_queue(gpointer data) {
    delete static_cast<std::shared_ptr<UiDispatch::Queue>*>(data);
}

}  // namespace

UiDispatch::UiDispatch() : queue_(std::make_shared<Queue>()), window_thread_(std::this_thread::get_id()) {
    queue_->context = g_main_context_ref(g_main_context_default());
}

UiDispatch::~UiDispatch() {
    close();
    g_main_context_unref(queue_->context);
}

void UiDispatch::post(std::function<void()> work) {
    std::unique_lock lock(queue_->mutex);
    if (queue_->closed) {
        lock.unlock();
        return;  // `work` is destroyed here, outside the lock
    }
    queue_->work.push_back(std::move(work));
    if (queue_->drain_scheduled) {
        return;
    }
    queue_->drain_scheduled = true;
    // An idle source rather than g_main_context_invoke: invoke runs at once when the caller owns the
    // context, which would overtake work already queued.
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, drain, new std::shared_ptr<Queue>(queue_), forget_queue);
    g_source_attach(source, queue_->context);
    g_source_unref(source);
}

void UiDispatch::close() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(queue_->mutex);
        queue_->closed = true;
        dropped.swap(queue_->work);
    }
    // Destroying the dropped work breaks the promises of the calls waiting for it.
}

bool UiDispatch::closed() const {
    std::lock_guard lock(queue_->mutex);
    return queue_->closed;
}

void UiDispatch::iterate_until(const std::function<bool()>& done) {
    while (!done() && !closed()) {
        g_main_context_iteration(queue_->context, TRUE);
    }
}

}  // namespace lunvek
