// The popup window with real WebKit pages served on 127.0.0.1: placement, frame, caption, closing and
// the program's lifetime.
#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/application.h>

#include <chrono>
#include <memory>
#include <ostream>
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
            setTimeout(function () { document.title = 'two'; }, 150);
            setTimeout(function () { document.title = 'three'; }, 300);
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
};

void PrintTo(const PlacementCase& c, std::ostream* out) {
    *out << c.name;
}

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
    test::save_screenshot(std::string("placement-") + c.name);
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
    ::testing::Values(PlacementCase{"NoFeatures", "openWindow('/first')", true, true},
                      PlacementCase{"NoToolbar", "openWindow('/first', 'toolbar=no')", false, true},
                      PlacementCase{"ToolbarFixedFrame", "openWindow('/first', 'toolbar=yes,resizable=no')", false,
                                    false},
                      PlacementCase{"Link", "document.getElementById('link').click()", true, true}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.name); });

TEST_F(PopupTest, FurtherRequestReusesTheWindowAndPlacesItAgain) {
    PopupWindow* popup = open_popup("openWindow('/first', 'toolbar=yes,resizable=no')");
    ASSERT_NE(popup, nullptr);
    ASSERT_FALSE(popup->get_resizable());

    // A link asks for an ordinary window: the same popup window, now resizable with its maximise button back
    // and maximised for the tool bar.
    evaluate(browser_->view(),
             "document.getElementById('link').href = '/second'; "
             "document.getElementById('link').click()");
    ASSERT_TRUE(pump_until([&] { return popup->get_title() == "second"; }));
    EXPECT_EQ(browser_->popup(), popup);
    EXPECT_EQ(toplevel_popups(), 1);
    EXPECT_TRUE(popup->get_resizable());
    auto* header = dynamic_cast<Gtk::HeaderBar*>(popup->get_titlebar());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->get_decoration_layout(), ":minimize,maximize,close");
    EXPECT_TRUE(settles_maximized(popup, true));

    // And back: a script asking for a fixed frame without a tool bar takes the maximised window out of
    // maximised and fixes its frame. (Its size is then the window manager's: openbox gives back the normal
    // size in most runs and the maximised size in some, which GTK then keeps for the fixed frame.)
    evaluate(browser_->view(), "openWindow('/first', 'toolbar=no,resizable=no')");
    ASSERT_TRUE(pump_until([&] { return popup->get_title() == "first"; }));
    EXPECT_EQ(browser_->popup(), popup);
    EXPECT_TRUE(settles_maximized(popup, false));
    pump_for(300);
    EXPECT_FALSE(popup->is_maximized());
    EXPECT_FALSE(popup->get_resizable());
    EXPECT_EQ(header->get_decoration_layout(), ":minimize,close");
}

TEST_F(PopupTest, CaptionFollowsTitlesAndThePageCannotMoveOrResizeTheWindow) {
    PopupWindow* popup = open_popup("openWindow('/first', 'toolbar=no')");
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(settles_maximized(popup, false));
    pump_for(200);
    std::vector<std::string> captions;
    popup->property_title().signal_changed().connect([&] {
        if (captions.empty() || captions.back() != popup->get_title())
            captions.push_back(popup->get_title());
    });

    navigate_popup("/titles", "three");
    // Every title of the page shows; the passing empty title of the navigation does not.
    EXPECT_EQ(captions, (std::vector<std::string>{"one", "two", "three"}));

    // A page without a title ends with an empty caption, not the previous page's.
    navigate_popup("/untitled", "");
    EXPECT_EQ(captions.back(), "");

    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    popup->get_position(x, y);
    popup->get_size(width, height);
    evaluate(popup->browser(),
             "window.moveTo(300, 300); window.resizeTo(200, 150); "
             "window.moveBy(40, 40); window.resizeBy(100, 100); document.title = 'asked'");
    ASSERT_TRUE(pump_until([&] { return popup->get_title() == "asked"; }));
    pump_for(300);
    int new_x = 0;
    int new_y = 0;
    int new_width = 0;
    int new_height = 0;
    popup->get_position(new_x, new_y);
    popup->get_size(new_width, new_height);
    EXPECT_EQ(new_x, x);
    EXPECT_EQ(new_y, y);
    EXPECT_EQ(new_width, width);
    EXPECT_EQ(new_height, height);
}

// How long the popup window takes to go after its page closes it, or -1 if it stays for `limit_ms`.
// Fails the test when a message dialog shows in the meantime.
long close_delay_without_question(HiddenBrowser& browser, int limit_ms) {
    const auto asked = steady_clock::now();
    evaluate(browser.popup()->browser(), "window.close()");
    bool questioned = false;
    const bool gone = pump_until(
        [&] {
            questioned = questioned || !shown_message_dialogs().empty();
            return browser.popup() == nullptr;
        },
        limit_ms);
    EXPECT_FALSE(questioned);
    if (!gone)
        return -1;
    return std::chrono::duration_cast<milliseconds>(steady_clock::now() - asked).count();
}

TEST_F(PopupTest, ScriptOpenedPageClosesItsWindowWithoutAQuestion) {
    // The hidden browser's own page closing its window is no concern of the popup window.
    ASSERT_NE(open_popup("openWindow('/first', 'toolbar=no')"), nullptr);
    evaluate(browser_->view(), "window.close()");
    pump_for(300);
    ASSERT_NE(browser_->popup(), nullptr);
    EXPECT_EQ(title_of(browser_->view()), "opener");

    const long delay = close_delay_without_question(*browser_, 3000);
    EXPECT_GE(delay, 100);
    EXPECT_LT(delay, 1000);
}

TEST_F(PopupTest, LinkOpenedPageClosingItsWindowAsksFirst) {
    PopupWindow* popup = open_popup("document.getElementById('link').click()");
    ASSERT_NE(popup, nullptr);

    for (const Gtk::ResponseType answer : {Gtk::RESPONSE_NO, Gtk::RESPONSE_YES}) {
        evaluate(popup->browser(), "window.close()");
        ASSERT_TRUE(pump_until([] { return shown_message_dialogs().size() == 1; }));
        Gtk::MessageDialog* question = shown_message_dialogs().front();
        EXPECT_EQ(question->property_text().get_value(), "正浏览的窗口试图关闭,是否允许?");
        EXPECT_EQ(question->get_title(), "信息：");
        EXPECT_EQ(question->property_message_type().get_value(), Gtk::MESSAGE_QUESTION);
        EXPECT_TRUE(question->get_modal());
        EXPECT_EQ(question->get_transient_for(), nullptr);
        EXPECT_NE(question->get_widget_for_response(Gtk::RESPONSE_YES), nullptr);
        EXPECT_NE(question->get_widget_for_response(Gtk::RESPONSE_NO), nullptr);
        test::save_screenshot("close-question");
        // Nothing happens while the question is open.
        pump_for(300);
        ASSERT_EQ(browser_->popup(), popup);

        const auto answered = steady_clock::now();
        question->response(answer);
        if (answer == Gtk::RESPONSE_NO) {
            pump_for(500);
            EXPECT_EQ(browser_->popup(), popup);
            EXPECT_FALSE(popup->close_timer_running());
            EXPECT_EQ(title_of(popup->browser()), "first");
            EXPECT_TRUE(shown_message_dialogs().empty());
        } else {
            ASSERT_TRUE(pump_until([&] { return browser_->popup() == nullptr; }, 3000));
            const auto delay = std::chrono::duration_cast<milliseconds>(steady_clock::now() - answered).count();
            EXPECT_GE(delay, 100);
            EXPECT_LT(delay, 1000);
            EXPECT_TRUE(shown_message_dialogs().empty());
        }
    }
}

TEST_F(PopupTest, EscapeClosesThePopupWindow) {
    PopupWindow* popup = open_popup("openWindow('/first', 'toolbar=no')");
    ASSERT_NE(popup, nullptr);
    // Sent to the window with the page's browser holding the focus: the window sees it first.
    gtk_widget_grab_focus(GTK_WIDGET(popup->browser()));
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(popup->get_window()->gobj()));
    event->key.keyval = GDK_KEY_Escape;
    event->key.time = GDK_CURRENT_TIME;
    gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_main_do_event(event);
    gdk_event_free(event);
    EXPECT_TRUE(pump_until([&] { return browser_->popup() == nullptr; }, 2000));
    EXPECT_TRUE(shown_message_dialogs().empty());
}

TEST_F(PopupTest, ClosingWhileAnotherRequestArrivesKeepsTheNewPage) {
    PopupWindow* popup = open_popup("openWindow('/first', 'toolbar=no')");
    ASSERT_NE(popup, nullptr);
    evaluate(popup->browser(), "window.close()");
    ASSERT_TRUE(pump_until([&] { return popup->close_timer_running(); }));
    evaluate(browser_->view(), "openWindow('/second', 'toolbar=no')");
    ASSERT_TRUE(pump_until([&] { return popup->get_title() == "second"; }));
    pump_for(400);
    EXPECT_EQ(browser_->popup(), popup);
    EXPECT_EQ(title_of(popup->browser()), "second");
}

TEST(HiddenBrowserCost, NoWebKitProcessStartsBeforeSomethingLoads) {
    ASSERT_TRUE(test::start_gui());
    const std::vector<int> before = test::descendant_processes();
    HiddenBrowser browser;
    Gtk::Window main_window;
    main_window.show();
    pump_for(300);
    EXPECT_EQ(browser.view(), nullptr);
    EXPECT_EQ(test::descendant_processes(), before);

    test::TestServer server;
    server.add_page("/plain", "<!doctype html><title>plain</title>");
    browser.load(server.url("/plain"));
    ASSERT_TRUE(pump_until([&] {
        const gchar* title = webkit_web_view_get_title(browser.view());
        return title != nullptr && std::string(title) == "plain";
    }));
    EXPECT_GT(test::descendant_processes().size(), before.size());
}

// The main window (a stand-in here) closes while the popup window is open: the application keeps running
// until the popup window closes too, and the popup's page still works without the hidden browser.
TEST(PopupLifetime, ApplicationEndsWithTheLastWindow) {
    ASSERT_TRUE(test::start_gui());
    test::TestServer server;
    server.add_page("/opener",
                    "<!doctype html><title>opener</title>"
                    "<script>window.open('/first', '_blank', 'toolbar=no');</script>");
    server.add_page("/first", "<!doctype html><title>first</title>");
    auto application = Gtk::Application::create("org.lunvek.PopupLifetimeTest", Gio::APPLICATION_NON_UNIQUE);
    std::unique_ptr<Gtk::Window> main_window;
    std::unique_ptr<HiddenBrowser> browser;
    PopupWindow* popup = nullptr;
    bool ran_on_after_main_window = false;
    bool gave_up = false;
    steady_clock::time_point close_asked;

    application->signal_activate().connect([&] {
        main_window = std::make_unique<Gtk::Window>();
        application->add_window(*main_window);
        main_window->show();
        browser = std::make_unique<HiddenBrowser>(application);
        browser->load(server.url("/opener"));
        Glib::signal_timeout().connect_once(
            [&] {
                gave_up = true;
                application->quit();
            },
            20000);
        ASSERT_TRUE(
            pump_until([&] { return browser->popup() != nullptr && browser->popup()->get_title() == "first"; }));
        popup = browser->popup();
        main_window->close();
        browser.reset();  // goes with the main window
        pump_for(500);
        ran_on_after_main_window = true;
        close_asked = steady_clock::now();
        evaluate(popup->browser(), "window.close()");
    });
    application->run();
    const auto ended_after = std::chrono::duration_cast<milliseconds>(steady_clock::now() - close_asked).count();
    EXPECT_FALSE(gave_up);
    EXPECT_TRUE(ran_on_after_main_window);
    EXPECT_GE(ended_after, 100);
    EXPECT_LT(ended_after, 2000);
    EXPECT_TRUE(application->get_windows().empty());
}

}  // namespace
}  // namespace lunvek
