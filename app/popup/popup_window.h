// The popup window: a second top-level window with one browser, into which the pages of the hidden browser
// open their new windows. It follows the page's title, tool-bar, resizable and closing requests.
#pragma once

#include <gtkmm/fixed.h>
#include <gtkmm/headerbar.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/window.h>
#include <webkit2/webkit2.h>

#include <memory>

namespace lunvek {

class PopupWindow : public Gtk::Window {
  public:
    static constexpr int left = 50;
    static constexpr int top = 50;
    static constexpr int width = 600;
    static constexpr int height = 408;
    static constexpr int browser_width = 368;
    static constexpr int browser_height = 200;
    static constexpr unsigned close_delay_ms = 100;
    static constexpr const char* close_question = "正浏览的窗口试图关闭,是否允许?";
    static constexpr const char* close_question_caption = "信息：";
    static constexpr const char* resizable_layout = ":minimize,maximize,close";
    static constexpr const char* fixed_layout = ":minimize,close";

    // Creates and shows a popup window. It owns itself: once hidden (closed by the user, Esc or the close
    // timer) it deletes itself from the main loop, and signal_hide() is the last thing it emits.
    static PopupWindow* open();

    // Puts a new browser, related to `opener`, in place of the current one and hands it back for WebKit to
    // load the requested window into. `toolbar`: the page asked for a window with a tool bar;
    // `is_child_window`: a script opened it. A close underway for the previous page is called off.
    WebKitWebView* replace_browser(WebKitWebView* opener, bool toolbar, bool is_child_window);

    WebKitWebView* browser() const { return browser_; }
    bool toolbar() const { return toolbar_; }
    bool close_timer_running() const { return close_timer_.connected(); }
    // Cancelled when the browser or the window goes: the asynchronous questions to the page use it.
    GCancellable* pending_checks() const { return pending_checks_; }

    void handle_popup_before_navigate();
    void handle_popup_title_change(const Glib::ustring& title);
    void handle_popup_resizable_change(bool resizable);
    // A page whose window a script opened goes without a question; otherwise the user is asked, and
    // only Yes closes. Either way the window goes with the close timer, never from inside this handler.
    void handle_popup_closing(bool is_child_window);
    bool handle_close_timer();

  private:
    PopupWindow();
    ~PopupWindow() override;

    void on_hide() override;
    bool on_window_state_event(GdkEventWindowState* event) override;
    bool handle_popup_key_press(GdkEventKey* event);
    void handle_close_question_response(int response);
    void arm_close_timer();
    void drop_close_request();
    void connect_browser_signals();

    Gtk::HeaderBar header_;
    Gtk::Fixed fixed_;
    WebKitWebView* browser_ = nullptr;  // owned by fixed_
    bool toolbar_ = false;
    bool resizable_ = true;  // what the page asked for
    bool restore_normal_size_ = false;
    bool is_child_window_ = false;
    sigc::connection close_timer_;
    std::unique_ptr<Gtk::MessageDialog> question_;
    GCancellable* pending_checks_;
};

}  // namespace lunvek
