// Copies share one immutable run; they may be read on other threads while each thread runs its own objects.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "fixtures.h"
#include "regex/regex_object.h"

namespace lunvek {
namespace {

TEST(Threads, CopiesAnswerOnOtherThreadsWhileEachRunsItsOwn) {
    const Text row = regex_test::cp936("中文ab\n");  // 7 bytes, "ab" at byte 4 of each row
    Text subject;
    constexpr int rows = 3000;
    for (int k = 0; k < rows; ++k)
        subject += row;
    RegexObject shared;
    ASSERT_TRUE(shared.create("(a)b", subject));
    ASSERT_EQ(shared.match_count(), rows);

    const Text page = regex_test::load_page("page_20.html");
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t, copy = shared] {
            // The first position query on the shared run builds its position index: all threads race to it.
            for (int n = t + 1; n <= rows; n += 4) {
                int position = 0;
                if (copy.submatch_text(n, 1, &position) != "a" || position != (n - 1) * 7 + 4)
                    ++wrong[t];
            }
            RegexObject names;
            RegexObject details;
            for (int round = 0; round < 5; ++round) {
                if (!names.create(regex_test::name_expression, page) ||
                    !details.create(regex_test::detail_expression, page) || names.match_count() != 20 ||
                    details.match_count() != 20)
                    ++wrong[t];
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace lunvek
