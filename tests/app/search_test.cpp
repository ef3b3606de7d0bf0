// Searches in a real window against lunvek-site with a catalogue of known entries.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/globals.h"
#include "app/search_worker.h"
#include "app/worker_threads.h"
#include "gui_support.h"
#include "test_site.h"

namespace lunvek::testing {
namespace {

std::string hash_of(int n) {
    char hash[41];
    std::snprintf(hash, sizeof hash, "%040x", n);
    return hash;
}

// 45 "alpha" entries (three result pages of 20, 20 and 5) and three Chinese ones.
std::string catalogue() {
    std::vector<std::string> lines;
    for (int n = 1; n <= 45; ++n) {
        char line[160];
        std::snprintf(line, sizeof line, "alpha release %d\t2020-01-%02d\t%d\t%d\t%s", n, n % 28 + 1, n * 1048576, n,
                      hash_of(n).c_str());
        lines.push_back(line);
    }
    for (int n = 1; n <= 3; ++n) {
        lines.push_back("电影 合集 " + std::to_string(n) + "\t2015-01-17\t2048\t2\t" + hash_of(1000 + n));
    }
    return write_catalogue("search-catalogue.txt", lines);
}

class SearchTest : public ::testing::Test {
  protected:
    void open(std::vector<std::string> flags = {}) {
        ASSERT_TRUE(toolkit_ready()) << "these tests need an X display (run them under scripts/with-display)";
        flags.insert(flags.end(), {"--catalogue", catalogue()});
        site_ = std::make_unique<TestSite>(flags);
        window_ = std::make_unique<WindowUnderTest>(settings_for(site_->base()));
        // Let the start-up workers settle, so the keyword box is ours.
        pump_until([&] { return !window().hot_label.get_text().empty(); });
    }
    void TearDown() override {
        for (auto* box : visible_message_boxes())
            box->response(Gtk::RESPONSE_OK);
        window_.reset();
        site_.reset();
    }
    MainWindow& window() { return **window_; }

    void search(const std::string& keyword) {
        window().keyword_box.set_text(keyword);
        window().search_button.clicked();
    }
    bool wait_for_final_status(std::chrono::milliseconds limit = 20s) {
        return pump_until([&] { return window().status_label.get_text().find("已搜索完毕") != std::string::npos; },
                          limit);
    }

    std::unique_ptr<TestSite> site_;
    std::unique_ptr<WindowUnderTest> window_;
};

TEST_F(SearchTest, FillsTheListAcrossPagesAndEndsWithTheCountInRed) {
    open();
    MainWindow& w = window();
    // The busy text shows first, in changing colours.
    search("alpha");
    ASSERT_TRUE(pump_until([&] { return w.status_label.get_text() == busy_status_text; }));
    ASSERT_TRUE(wait_for_final_status());
    EXPECT_EQ(w.status_label.get_text(), "亲，已搜索完毕！  共找到  45  个内容。");
    EXPECT_EQ(w.status_label.colour(), 255);
    ASSERT_EQ(w.result_list.row_count(), 45);
    for (int r = 0; r < 45; ++r) {
        const int n = r + 1;
        char date[16];
        std::snprintf(date, sizeof date, "2020-01-%02d", n % 28 + 1);
        EXPECT_EQ(w.result_list.cell(r, 0), std::to_string(n));                     // numbers run on across pages
        EXPECT_EQ(w.result_list.cell(r, 1), "alpha release " + std::to_string(n));  // no highlight tags left
        EXPECT_EQ(w.result_list.cell(r, 2), date);
        EXPECT_FALSE(w.result_list.cell(r, 3).empty());
        EXPECT_EQ(w.result_list.cell(r, 4), std::to_string(n));
        EXPECT_EQ(w.result_list.cell(r, 5), "magnet:?xt=urn:btih:" + hash_of(n));
    }
    EXPECT_EQ(w.result_list.cell(0, 3), "1.00 MB");
    EXPECT_EQ(search_done_flag, 1);
    // No busy text lands after the final one.
    pump_for(700ms);
    EXPECT_EQ(w.status_label.get_text(), "亲，已搜索完毕！  共找到  45  个内容。");
    EXPECT_EQ(w.status_label.colour(), 255);
}

TEST_F(SearchTest, ChineseKeywordAndAFailingPageInTheMiddle) {
    open({"--results-per-page", "1", "--fail-page", "2"});
    MainWindow& w = window();
    search("电影");
    ASSERT_TRUE(wait_for_final_status());
    // Page 2 fails: its row is missing and the numbers still run on.
    ASSERT_EQ(w.result_list.row_count(), 2);
    EXPECT_EQ(w.result_list.cell(0, 0), "1");
    EXPECT_EQ(w.result_list.cell(0, 1), "电影 合集 1");
    EXPECT_EQ(w.result_list.cell(1, 0), "2");
    EXPECT_EQ(w.result_list.cell(1, 1), "电影 合集 3");
    EXPECT_EQ(w.result_list.cell(1, 5), "magnet:?xt=urn:btih:" + hash_of(1003));
    EXPECT_EQ(w.status_label.get_text(), final_status_text(2));
}

TEST_F(SearchTest, EmptyKeywordIsRefusedWithAModalBox) {
    open();
    MainWindow& w = window();
    const int workers_before = running_workers();
    search("");
    auto boxes = visible_message_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(message_text(*boxes[0]), "请输入你想要查找的资源名字！");
    EXPECT_EQ(boxes[0]->get_title(), "亲爱的朋友！：");
    EXPECT_TRUE(boxes[0]->get_modal());
    EXPECT_EQ(boxes[0]->get_transient_for(), nullptr);  // no owner window
    EXPECT_EQ(running_workers(), workers_before);       // no search started
    boxes[0]->response(Gtk::RESPONSE_OK);
    pump_for(300ms);
    EXPECT_TRUE(visible_message_boxes().empty());
    EXPECT_EQ(w.status_label.get_text(), "");
    // A keyword of spaces is a keyword.
    search("  ");
    EXPECT_TRUE(visible_message_boxes().empty());
    EXPECT_TRUE(pump_until([&] { return !w.status_label.get_text().empty(); }));
}

TEST_F(SearchTest, NoResultsShowsTheEchoKeepsTheRowsAndTheWindowUsable) {
    open();
    MainWindow& w = window();
    search("release 45");
    ASSERT_TRUE(wait_for_final_status());
    ASSERT_EQ(w.result_list.row_count(), 1);

    search("zzz");
    ASSERT_TRUE(pump_until([] { return !visible_message_boxes().empty(); }));
    auto boxes = visible_message_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(message_text(*boxes[0]), "很抱歉, 没有找到有关  zzz  的结果。");
    EXPECT_EQ(boxes[0]->get_title(), "亲爱的朋友！：");
    EXPECT_FALSE(boxes[0]->get_modal());  // only the worker waits for it
    // The main window keeps working meanwhile, and the animation keeps going.
    w.keyword_box.set_text("typed while the box is open");
    EXPECT_EQ(w.keyword_box.get_text(), "typed while the box is open");
    EXPECT_TRUE(pump_until([&] { return w.status_label.get_text() == busy_status_text; }));
    const int colour = w.status_label.colour();
    EXPECT_TRUE(pump_until([&] { return w.status_label.colour() != colour; }, 2s));
    EXPECT_EQ(w.result_list.row_count(), 1);
    EXPECT_EQ(search_done_flag, 0);
    boxes[0]->response(Gtk::RESPONSE_OK);
    pump_for(300ms);
    EXPECT_TRUE(visible_message_boxes().empty());
    EXPECT_EQ(w.result_list.cell(0, 1), "alpha release 45");
}

TEST_F(SearchTest, ASiteThatFailsEveryRequestEmptiesTheListAndCountsZero) {
    ASSERT_TRUE(toolkit_ready());
    window_ = std::make_unique<WindowUnderTest>(settings_for(dead_base()));
    MainWindow& w = window();
    EXPECT_TRUE(pump_until([&] { return w.hot_label.get_text() == "今天没有找到热门搜索哦！"; }));
    EXPECT_EQ(w.keyword_box.get_text(), "");
    w.result_list.append({"1", "left from before", "", "", "", "magnet:?xt=urn:btih:00"});
    search("alpha");
    ASSERT_TRUE(wait_for_final_status());
    EXPECT_EQ(w.status_label.get_text(), final_status_text(0));
    EXPECT_EQ(w.status_label.colour(), 255);
    EXPECT_EQ(w.result_list.row_count(), 0);
    EXPECT_TRUE(visible_message_boxes().empty());
}

TEST_F(SearchTest, ClosingTheWindowMidSearchEndsTheWorkersQuietly) {
    open({"--delay-ms", "150"});
    MainWindow& w = window();
    search("alpha");
    ASSERT_TRUE(pump_until([&] { return w.result_list.row_count() > 0; }));
    ASSERT_GT(running_workers(), 0);
    w.close();
    // Workers see the closed window at their next step: the slow site costs at most one more page.
    EXPECT_TRUE(pump_until([] { return running_workers() == 0; }, 5s));
    EXPECT_LT(w.result_list.row_count(), 45);
}

}  // namespace
}  // namespace lunvek::testing
