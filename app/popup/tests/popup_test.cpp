// The popup window with real WebKit pages served on 127.0.0.1: placement, frame, caption, closing and
// the program's lifetime.
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>
#include <gtkmm/application.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/popup/hidden_browser.h"
#include "app/popup/popup_globals.h"
#include "gui_support.h"
#include "test_server.h"

namespace lunvek {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using test::evaluate;
using test::pump_for;
using test::pump_until;
using test::shown_message_dialogs;

constexpr const char* opener_page = R"(<!doctype html><title>opener</title>
<a id="link" href="/first" target="_blank">open</a>
<script>
function openWindow(url, features) {
    return (features === undefined ? window.open(url) : window.open(url, '_blank', features)) ? 'opened' : 'blocked';
}
</script>)";

class PopupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::start_gui()) << "needs an X display";
        popup_placed_flag = 0;
        server_.add_page("/opener", opener_page);
        server_.add_page("/first", "<!doctype html><title>first</title><p>first page");
        server_.add_page("/second", "<!doctype html><title>second</title><p>second page");
        server_.add_page("/untitled", "<!doctype html><p>no title here");
        server_.add_page("/titles", R"(<!doctype html><title>one</title><script>
            setTimeout(function () { document.title = 'two'; }, 50);
            setTimeout(function () { document.title = 'three'; }, 100);
            </script>)");
        browser_ = std::make_unique<HiddenBrowser>(application_);
        browser_->load(server_.url("/opener"));
        ASSERT_TRUE(pump_until([&] { return title_of(browser_->view()) == "opener"; }));
    }

    void TearDown() override {
        if (browser_ && browser_->popup() != nullptr) {
            browser_->popup()->hide();
            pump_for(50);
        }
        browser_.reset();
        pump_for(20);
    }

    static std::string title_of(WebKitWebView* view) {
        const gchar* title = view != nullptr ? webkit_web_view_get_title(view) : nullptr;
        return title != nullptr ? title : "";
    }

    // Runs `script` in the hidden browser's page and waits for the popup window to show `title`.
    PopupWindow* open_popup(const std::string& script, const std::string& title = "first") {
        evaluate(browser_->view(), script);
        pump_until([&] {
            PopupWindow* popup = browser_->popup();
            return popup != nullptr && title_of(popup->browser()) == title && popup->get_title() == title;
        });
        return browser_->popup();
    }

    void navigate_popup(const std::string& path, const std::string& title) {
        evaluate(browser_->popup()->browser(), "location.href = '" + server_.url(path) + "'");
        ASSERT_TRUE(pump_until([&] { return browser_->popup()->get_title() == title; }));
    }

    // The window manager applies placement a little after it was asked for.
    static bool settles_maximized(PopupWindow* popup, bool maximized) {
        return pump_until([&] { return popup->is_maximized() == maximized; }, 3000);
    }

    static int toplevel_popups() {
        int count = 0;
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
            if (dynamic_cast<PopupWindow*>(window) != nullptr && window->get_visible())
                ++count;
        }
        return count;
    }

    test::TestServer server_;
    Glib::RefPtr<Gtk::Application> application_;
    std::unique_ptr<HiddenBrowser> browser_;
};

struct PlacementCase {
    const char* name;
    const char* script;  // run in the hidden browser's page
    bool maximized;
    bool resizable;
    bool asks_before_closing;  // not opened by a script
};

class PopupPlacementTest : public PopupTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(PopupPlacementTest, FollowsTheRequestOnceAndKeepsTheBrowserAtItsDesignedSize) {
    const PlacementCase& c = GetParam();
    PopupWindow* popup = open_popup(c.script);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(toplevel_popups(), 1);
    EXPECT_EQ(popup_placed_flag, 1);
    EXPECT_TRUE(settles_maximized(popup, c.maximized));
    pump_for(200);
    EXPECT_EQ(popup->is_maximized(), c.maximized);
    EXPECT_EQ(popup->get_resizable(), c.resizable);
    auto* header = dynamic_cast<Gtk::HeaderBar*>(popup->get_titlebar());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->get_decoration_layout(), c.resizable ? ":minimize,maximize,close" : ":minimize,close");
    if (!c.maximized) {
        int width = 0;
        int height = 0;
        popup->get_size(width, height);
        EXPECT_EQ(width, 600);
        EXPECT_EQ(height, 408);
    }
    const Gtk::Allocation browser = Glib::wrap(GTK_WIDGET(popup->browser()))->get_allocation();
    EXPECT_EQ(browser.get_width(), 368);
    EXPECT_EQ(browser.get_height(), 200);

    // The user changes the placement; later navigations of the same window leave it as it is.
    if (c.resizable) {
        if (c.maximized) {
            popup->unmaximize();
        } else {
            popup->maximize();
        }
        ASSERT_TRUE(settles_maximized(popup, !c.maximized));
        navigate_popup("/second", "second");
        pump_for(300);
        EXPECT_EQ(popup->is_maximized(), !c.maximized);
        if (!c.maximized) {
            const Gtk::Allocation maximized = Glib::wrap(GTK_WIDGET(popup->browser()))->get_allocation();
            EXPECT_EQ(maximized.get_x(), 0);
            EXPECT_EQ(maximized.get_width(), 368);
            EXPECT_EQ(maximized.get_height(), 200);
        }
    }
    EXPECT_EQ(browser_->popup(), popup);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, PopupPlacementTest,
    ::testing::Values(PlacementCase{"NoFeatures", "openWindow('/first')", true, true, false},
                      PlacementCase{"NoToolbar", "openWindow('/first', 'toolbar=no')", false, true, false},
                      PlacementCase{"ToolbarFixedFrame", "openWindow('/first', 'toolbar=yes,resizable=no')", false,
                                    false, false},
                      PlacementCase{"Link", "document.getElementById('link').click()", true, true, true}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lunvek
