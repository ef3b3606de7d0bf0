// The two start-up workers in a real window: popular searches and the version check.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/hot_search_worker.h"
#include "app/version_check_worker.h"
#include "app/worker_threads.h"
#include "gui_support.h"
#include "test_site.h"
#include "text/encoding.h"

namespace lunvek::testing {
namespace {

struct Session {
    explicit Session(const std::vector<std::string>& flags, AppSettings (*adjust)(AppSettings) = nullptr)
        : site(flags) {
        AppSettings settings = settings_for(site.base());
        if (adjust) {
            settings = adjust(settings);
        }
        window = std::make_unique<WindowUnderTest>(settings);
    }
    ~Session() {
        for (auto* box : visible_message_boxes())
            box->response(Gtk::RESPONSE_OK);
    }
    TestSite site;
    std::unique_ptr<WindowUnderTest> window;
};

class StartupWorkersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(toolkit_ready()) << "these tests need an X display (run them under scripts/with-display)";
        forget_opened_addresses();
    }
};

TEST_F(StartupWorkersTest, PopularSearchesFillTheLabelAndTheKeywordBox) {
    // The site's popular searches begin: debian 电影 ubuntu 音乐 linux 1080p ...
    struct Case {
        int hot_count;
        std::string label;
        std::string box;
        size_t kept;
    };
    const Case cases[] = {
        {6, "debian 电影 ubuntu 音乐 linux", "debian", 6},
        {5, "debian 电影 ubuntu 音乐 linux", "debian", 5},
        {4, no_hot_searches_text, "", 4},  // one to four are found but none is shown
        {0, no_hot_searches_text, "", 0},
    };
    for (const auto& c : cases) {
        Session session({"--hot-count", std::to_string(c.hot_count)});
        MainWindow& w = **session.window;
        ASSERT_TRUE(pump_until([&] { return !w.hot_label.get_text().empty(); })) << c.hot_count;
        EXPECT_EQ(w.hot_label.get_text(), c.label) << c.hot_count;
        pump_for(50ms);
        EXPECT_EQ(w.keyword_box.get_text(), c.box) << c.hot_count;
        const TextArray kept = hot_keywords.get();
        EXPECT_EQ(kept.size(), c.kept) << c.hot_count;
        if (c.kept >= 2) {
            EXPECT_EQ(ansi_to_utf8(kept[1]), "电影");
        }
    }
}

TEST_F(StartupWorkersTest, ADifferentVersionDateIsAnnouncedAndOpensTheUpdatePage) {
    for (const std::string date : {"20990101", "20100101", "abcdefgh"}) {
        Session session({"--version-date", date});
        ASSERT_TRUE(pump_until([] { return !visible_message_boxes().empty(); })) << date;
        auto boxes = visible_message_boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(message_text(*boxes[0]), "检测到软件有新版本，请下载新版本使用！");
        EXPECT_EQ(boxes[0]->get_title(), "软件更新提示！");
        EXPECT_FALSE(boxes[0]->get_modal());
        EXPECT_EQ(fetched_version.get(), date);
        EXPECT_TRUE(opened_addresses().empty());         // the page opens only once the box is closed
        boxes[0]->response(Gtk::RESPONSE_DELETE_EVENT);  // the close button counts as OK
        ASSERT_TRUE(pump_until([] { return !opened_addresses().empty(); })) << date;
        EXPECT_EQ(opened_addresses(), std::vector<std::string>{session.site.base() + "/soft/update.html"});
        forget_opened_addresses();
    }
}

TEST_F(StartupWorkersTest, TheSameDateOrAnythingButEightBytesShowsNothing) {
    for (const std::string date : {"20150117", "20990101\n", "2099010"}) {
        Session session({"--version-date", date});
        // Both start-up workers have finished once none runs.
        ASSERT_TRUE(pump_until([] { return running_workers() == 0; })) << date;
        pump_for(100ms);
        EXPECT_TRUE(visible_message_boxes().empty()) << date;
        EXPECT_EQ(fetched_version.get(), date);
        EXPECT_TRUE(opened_addresses().empty());
    }
}

TEST_F(StartupWorkersTest, ASilentUpdateSiteTimesOutQuietly) {
    Session session({"--version-date", "20990101", "--delay-ms", "4000"}, [](AppSettings s) {
        s.version_timeout_s = 1;
        return s;
    });
    const auto started = std::chrono::steady_clock::now();
    // The hot-search worker waits out the slow site too; the version check gives up after its limit.
    ASSERT_TRUE(pump_until([] { return running_workers() == 0; }, 15s));
    EXPECT_TRUE(visible_message_boxes().empty());
    EXPECT_EQ(fetched_version.get(), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
}

TEST_F(StartupWorkersTest, ClosingTheWindowTakesTheVersionBoxAlongAndOpensNothing) {
    Session session({"--version-date", "20990101"});
    ASSERT_TRUE(pump_until([] { return !visible_message_boxes().empty(); }));
    session.window->close();
    EXPECT_TRUE(pump_until([] { return running_workers() == 0; }, 5s));
    EXPECT_TRUE(visible_message_boxes().empty());
    pump_for(200ms);
    EXPECT_TRUE(opened_addresses().empty());
}

}  // namespace
}  // namespace lunvek::testing
