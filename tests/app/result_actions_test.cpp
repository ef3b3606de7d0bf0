// Double-click and right-click on the result list, with real pointer input, the real clipboard and the
// desktop's handler registered by the test run.
#include <gtest/gtest.h>

#include "app/result_actions.h"
#include "gui_support.h"
#include "test_site.h"

namespace lunvek::testing {
namespace {

const std::string link_a = "magnet:?xt=urn:btih:aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";
const std::string link_b = "magnet:?xt=urn:btih:bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb";

class ResultActionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(toolkit_ready()) << "these tests need an X display (run them under scripts/with-display)";
        window_ = std::make_unique<WindowUnderTest>(settings_for(dead_base()));
        forget_opened_addresses();
    }
    void TearDown() override {
        for (auto* box : visible_message_boxes())
            box->response(Gtk::RESPONSE_OK);
        window_.reset();
    }
    MainWindow& window() { return **window_; }
    void add_row(const std::string& link) {
        const int n = window().result_list.row_count() + 1;
        window().result_list.append({std::to_string(n), "row " + std::to_string(n), "", "", "", link});
        pump_for(50ms);
    }
    void press_on_row(int row, int button, int repeat = 1) {
        int x = 0, y = 0;
        row_point(window(), row, x, y);
        click_at(window().result_list.view(), x, y, button, repeat);
    }
    std::string clipboard(const char* selection = "clipboard") {
        return run_pumping({"xclip", "-o", "-selection", selection});
    }

    std::unique_ptr<WindowUnderTest> window_;
};

TEST_F(ResultActionsTest, DoubleClickHandsTheRowsMagnetLinkToTheDesktop) {
    add_row(link_a);
    add_row(link_b);
    press_on_row(1, 1, 2);
    ASSERT_TRUE(pump_until([] { return !opened_addresses().empty(); }));
    pump_for(300ms);
    EXPECT_EQ(opened_addresses(), std::vector<std::string>{link_b});
    EXPECT_EQ(window().html_viewer.address(), link_b);
}

TEST_F(ResultActionsTest, OnlyMagnetLinksEverLeaveTheProgram) {
    // A hostile result page can put any address into the list; the recorder also handles http here.
    const std::string hostile[] = {"file:///etc/passwd", "http://127.0.0.1:1/x", "javascript:alert(1)",
                                   "/usr/bin/xterm", "magnet-evil:x"};
    for (const auto& link : hostile) {
        add_row(link);
    }
    add_row("MAGNET:?xt=urn:btih:CCCC");
    for (int row = 0; row < window().result_list.row_count(); ++row) {
        press_on_row(row, 1, 2);
        EXPECT_EQ(window().html_viewer.address(), window().result_list.cell(row, 5));
    }
    ASSERT_TRUE(pump_until([] { return !opened_addresses().empty(); }));
    pump_for(500ms);
    EXPECT_EQ(opened_addresses(), std::vector<std::string>{"MAGNET:?xt=urn:btih:CCCC"});
}

TEST_F(ResultActionsTest, RightClickCopiesTheSelectedRowThenSelectsTheClickedOne) {
    add_row(link_a);
    add_row(link_b);
    press_on_row(1, 1);  // select row 2
    ASSERT_EQ(window().result_list.selected_row(), 1);
    press_on_row(0, 3);  // the link is taken before the press moves the selection
    EXPECT_EQ(clipboard(), link_b);
    EXPECT_EQ(clipboard("primary"), link_b);
    EXPECT_EQ(window().result_list.selected_row(), 0);
    press_on_row(0, 3);
    EXPECT_EQ(clipboard(), link_a);
    EXPECT_TRUE(opened_addresses().empty());
}

TEST_F(ResultActionsTest, EmptyListOrNoSelection) {
    put_on_clipboard("kept");
    pump_for(50ms);
    // Empty list: neither handler does anything.
    click_at(window().result_list.view(), 100, 100, 3);
    click_at(window().result_list.view(), 100, 100, 1, 2);
    EXPECT_EQ(clipboard(), "kept");
    EXPECT_TRUE(opened_addresses().empty());
    // Rows but a click below them: no row stays selected, the double-click hands on nothing and the
    // right-click empties the clipboard.
    add_row(link_a);
    press_on_row(0, 1);
    ASSERT_EQ(window().result_list.selected_row(), 0);
    click_at(window().result_list.view(), 100, 300, 1, 2);
    EXPECT_EQ(window().result_list.selected_row(), -1);
    EXPECT_EQ(window().html_viewer.address(), "");
    click_at(window().result_list.view(), 100, 300, 3);
    EXPECT_EQ(clipboard(), "");
    pump_for(200ms);
    EXPECT_TRUE(opened_addresses().empty());
}

TEST_F(ResultActionsTest, WithoutAMagnetHandlerTheLinkGoesToTheClipboardAndTheUserIsTold) {
    handle_magnet_without_handler(window(), link_a);
    auto boxes = visible_message_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(message_text(*boxes[0]), no_magnet_handler_text);
    EXPECT_EQ(boxes[0]->get_title(), "信息：");
    EXPECT_EQ(clipboard(), link_a);
    boxes[0]->response(Gtk::RESPONSE_OK);
}

}  // namespace
}  // namespace lunvek::testing
