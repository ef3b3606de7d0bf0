// The hand-off from workers to the window thread: order, answers, and what happens once the window is gone.
#include "app/ui_dispatch.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace lunvek {
namespace {

// Turns the default main context until `done`, at most about 10 s.
template <typename Done>
bool turn_until(Done done) {
    for (int i = 0; i < 100000 && !done(); ++i) {
        g_main_context_iteration(nullptr, FALSE);
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return done();
}

TEST(UiDispatch, PostsAndCallsFromSeveralWorkersKeepEachWorkersOrder) {
    UiDispatch ui;
    constexpr int workers = 3;
    constexpr int per_worker = 5000;
    std::vector<std::vector<int>> seen(workers);  // written on this (the window) thread only
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w) {
        threads.emplace_back([&, w] {
            for (int i = 0; i < per_worker; ++i) {
                if (i % 500 == 250) {
                    // A waiting call among the posts must not overtake them.
                    int answer = ui.call<int>(
                        [&, w, i] {
                            seen[w].push_back(i);
                            return i * 2;
                        },
                        -1);
                    EXPECT_EQ(answer, i * 2);
                } else {
                    ui.post([&, w, i] { seen[w].push_back(i); });
                }
            }
        });
    }
    EXPECT_TRUE(turn_until([&] {
        size_t total = 0;
        for (auto& s : seen)
            total += s.size();
        return total == workers * per_worker;
    }));
    for (auto& t : threads)
        t.join();
    for (int w = 0; w < workers; ++w) {
        ASSERT_EQ(seen[w].size(), static_cast<size_t>(per_worker));
        for (int i = 0; i < per_worker; ++i) {
            ASSERT_EQ(seen[w][i], i) << "worker " << w;
        }
    }
}

TEST(UiDispatch, PostFromTheWindowThreadRunsLaterNotInline) {
    UiDispatch ui;
    std::vector<int> order;
    ui.post([&] { order.push_back(1); });
    ui.post([&] { order.push_back(2); });
    order.push_back(0);
    EXPECT_TRUE(turn_until([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    // A call made on the window thread itself runs at once instead of waiting for itself.
    EXPECT_EQ(ui.call<int>([] { return 7; }, -1), 7);
}

TEST(UiDispatch, ClosingDropsQueuedWorkAndAnswersWaitingCallsWithTheFallback) {
    UiDispatch ui;
    std::atomic<int> ran{0};
    std::atomic<bool> posted{false};
    std::atomic<int> call_result{0};
    std::atomic<int> ask_result{0};
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            ui.post([&] { ++ran; });
        posted = true;
        call_result = ui.call<int>([] { return 1; }, -1);
        // After the close nothing reaches the window any more and nothing waits.
        ask_result = ui.ask<int>([](std::function<void(int)> reply) { reply(5); }, -2);
        ui.post([&] { ++ran; });
    });
    while (!posted)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the call is now queued behind the posts
    ui.close();
    worker.join();
    for (int i = 0; i < 100; ++i)
        g_main_context_iteration(nullptr, FALSE);
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(call_result, -1);
    EXPECT_EQ(ask_result, -2);
}

TEST(UiDispatch, AskWaitsForALaterAnswerAndFallsBackWhenTheAnswerIsDropped) {
    UiDispatch ui;
    std::function<void(int)> kept;  // the window thread answers later, as a message box does
    std::atomic<int> answered{0};
    std::atomic<int> dropped{0};
    std::thread worker([&] {
        answered = ui.ask<int>([&](std::function<void(int)> reply) { kept = std::move(reply); }, -1);
        dropped = ui.ask<int>([](std::function<void(int)>) {}, -3);  // the reply is thrown away unanswered
    });
    EXPECT_TRUE(turn_until([&] { return static_cast<bool>(kept); }));
    EXPECT_EQ(answered, 0);
    kept(42);
    kept(43);  // a second answer changes nothing
    EXPECT_TRUE(turn_until([&] { return dropped != 0; }));
    worker.join();
    EXPECT_EQ(answered, 42);
    EXPECT_EQ(dropped, -3);
}

}  // namespace
}  // namespace lunvek
