// Several threads at once: scans and conversions share no state (run under TSan).
#include <gtest/gtest.h>

#include <thread>

#include "text/encoding.h"
#include "text/extract.h"

namespace lunvek {
namespace {

TEST(Threads, ScansAndConversionsRunConcurrently) {
    Text page;
    for (int i = 0; i < 2000; ++i)
        page += "<li>\xD6\xD0" + std::to_string(i) + "</li>";
    TextArray expected;
    ASSERT_EQ(all_texts_between(page, "<li>", "</li>", expected), 2000);
    const Text utf8 = ansi_to_utf8(page);

    constexpr int thread_count = 4;
    std::vector<int> failures(thread_count, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < thread_count; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                TextArray out;
                if (all_texts_between(page, "<li>", "</li>", out) != 2000 || out != expected)
                    ++failures[t];
                if (utf8_to_ansi(utf8) != page)
                    ++failures[t];
                if (utf16_to_cp936(cp936_to_utf16(page)) != page)
                    ++failures[t];
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(thread_count, 0));
}

}  // namespace
}  // namespace lunvek
