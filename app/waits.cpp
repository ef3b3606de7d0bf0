#include "app/waits.h"

#include <glib.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace lunvek {

namespace {

std::atomic<std::thread::id> window_thread{};

}  // namespace

void mark_window_thread() {
    window_thread = std::this_thread::get_id();
}

bool on_window_thread() {
    return window_thread.load() == std::this_thread::get_id();
}

void process_pending_input() {
    if (!on_window_thread()) {
        return;
    }
    while (g_main_context_pending(nullptr)) {
        g_main_context_iteration(nullptr, FALSE);
    }
}

void wait_dispatching(int milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    if (!on_window_thread()) {
        std::this_thread::sleep_until(deadline);
        return;
    }
    // Wake at least every 10 ms so the deadline is kept even when no event arrives.
    while (std::chrono::steady_clock::now() < deadline) {
        GSource* tick = g_timeout_source_new(10);
        g_source_set_callback(
            tick, [](gpointer) -> gboolean { return G_SOURCE_REMOVE; }, nullptr, nullptr);
        g_source_attach(tick, nullptr);
        g_main_context_iteration(nullptr, TRUE);
        g_source_destroy(tick);
        g_source_unref(tick);
    }
}

}  // namespace lunvek
