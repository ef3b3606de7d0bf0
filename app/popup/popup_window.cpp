#include "app/popup/popup_window.h"

#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>

#include "app/popup/browser_settings.h"
#include "app/popup/popup_globals.h"

namespace lunvek {
namespace {

gboolean on_decide_policy(WebKitWebView*, WebKitPolicyDecision*, WebKitPolicyDecisionType type, gpointer self) {
    if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
        static_cast<PopupWindow*>(self)->handle_popup_before_navigate();
    }
    return FALSE;  // the navigation always goes ahead
}

// WebKit clears the title at the start of every navigation, before the new page's title arrives. Passing
// those on would blank the caption on each click, so they are held back. Whether a page really has no title
// is asked of the page itself once it has loaded (WebKit may report the end of a load before its title).
void on_title(WebKitWebView* view, GParamSpec*, gpointer self) {
    const gchar* title = webkit_web_view_get_title(view);
    if (title != nullptr && *title != '\0') {
        static_cast<PopupWindow*>(self)->handle_popup_title_change(title);
    }
}

void on_untitled_check(GObject* view, GAsyncResult* result, gpointer self) {
    // Cancelled when the window or its browser went away meanwhile: `self` may be gone.
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr);
    if (value == nullptr)
        return;
    const bool untitled = jsc_value_is_string(value) && [value] {
        gchar* text = jsc_value_to_string(value);
        const bool empty = text == nullptr || *text == '\0';
        g_free(text);
        return empty;
    }();
    g_object_unref(value);
    if (untitled)
        static_cast<PopupWindow*>(self)->handle_popup_title_change("");
}

void on_load_changed(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
    if (event != WEBKIT_LOAD_FINISHED)
        return;
    auto* window = static_cast<PopupWindow*>(self);
    webkit_web_view_evaluate_javascript(view, "document.title", -1, "lunvek", nullptr, window->pending_checks(),
                                        on_untitled_check, self);
}

// The page's window features are final once WebKit asks for the new window to be shown. Its geometry
// requests (moveTo, resizeTo and the features' sizes) are never read: the page cannot place the window.
void on_ready_to_show(WebKitWebView* view, gpointer self) {
    WebKitWindowProperties* properties = webkit_web_view_get_window_properties(view);
    static_cast<PopupWindow*>(self)->handle_popup_resizable_change(webkit_window_properties_get_resizable(properties));
}

}  // namespace

PopupWindow* PopupWindow::open() {
    auto* window = new PopupWindow();
    window->show_all();
    return window;
}

PopupWindow::PopupWindow() : pending_checks_(g_cancellable_new()) {
    set_title("");
    set_default_size(width, height);
    set_position(Gtk::WIN_POS_NONE);
    move(left, top);
    header_.set_show_close_button(true);
    header_.set_decoration_layout(resizable_layout);
    set_titlebar(header_);
    add(fixed_);
    signal_key_press_event().connect(sigc::mem_fun(*this, &PopupWindow::handle_popup_key_press), false);
}

PopupWindow::~PopupWindow() {
    close_timer_.disconnect();
    g_cancellable_cancel(pending_checks_);
    g_object_unref(pending_checks_);
    if (browser_ != nullptr)
        g_signal_handlers_disconnect_by_data(browser_, this);
}

WebKitWebView* PopupWindow::replace_browser(WebKitWebView* opener, bool toolbar, bool is_child_window) {
    drop_close_request();
    if (browser_ != nullptr) {
        g_cancellable_cancel(pending_checks_);
        g_object_unref(pending_checks_);
        pending_checks_ = g_cancellable_new();
        g_signal_handlers_disconnect_by_data(browser_, this);
        gtk_widget_destroy(GTK_WIDGET(browser_));
    }
    browser_ = new_popup_browser(opener);
    toolbar_ = toolbar;
    is_child_window_ = is_child_window;
    GtkWidget* widget = GTK_WIDGET(browser_);
    // Fixed keeps the designed size whatever the window's size or placement.
    gtk_widget_set_size_request(widget, browser_width, browser_height);
    gtk_widget_set_can_focus(widget, TRUE);
    gtk_fixed_put(fixed_.gobj(), widget, 0, 0);
    gtk_widget_show(widget);
    connect_browser_signals();
    return browser_;
}

void PopupWindow::connect_browser_signals() {
    g_signal_connect(browser_, "decide-policy", G_CALLBACK(on_decide_policy), this);
    g_signal_connect(browser_, "notify::title", G_CALLBACK(on_title), this);
    g_signal_connect(browser_, "load-changed", G_CALLBACK(on_load_changed), this);
    g_signal_connect(browser_, "ready-to-show", G_CALLBACK(on_ready_to_show), this);
    g_signal_connect(browser_, "close", G_CALLBACK(+[](WebKitWebView*, gpointer self) {
                         auto* window = static_cast<PopupWindow*>(self);
                         window->handle_popup_closing(window->is_child_window_);
                     }),
                     this);
}

void PopupWindow::handle_popup_before_navigate() {
    if (popup_placed_flag == 1)
        return;
    // A fixed frame cannot be maximised (window managers refuse it): a page asking for a tool bar and a
    // fixed frame gets the normal placement.
    if (toolbar_ && resizable_) {
        maximize();
    } else if (resizable_ && is_maximized()) {
        // (A request for a fixed frame has already taken the window out of maximised.)
        unmaximize();
    }
    popup_placed_flag = 1;
}

void PopupWindow::handle_popup_title_change(const Glib::ustring& title) {
    set_title(title);
}

void PopupWindow::handle_popup_resizable_change(bool resizable) {
    resizable_ = resizable;
    restore_normal_size_ = false;
    header_.set_decoration_layout(resizable ? resizable_layout : fixed_layout);
    const bool was_maximized = is_maximized();
    set_resizable(resizable);
    // Hand the new frame to the window manager now, not at the next layout: a maximise request that
    // follows at once would otherwise meet the old, fixed frame and be refused.
    if (get_visible())
        check_resize();
    if (!resizable && was_maximized) {
        // A fixed frame cannot stay maximised. The window manager restores the window; the normal size
        // is asked for once it has (with some window managers a fixed frame keeps the maximised size).
        restore_normal_size_ = true;
        unmaximize();
    }
}

bool PopupWindow::on_window_state_event(GdkEventWindowState* event) {
    const bool handled = Gtk::Window::on_window_state_event(event);
    if (restore_normal_size_ && (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) == 0) {
        restore_normal_size_ = false;
        resize(width, height);
    }
    return handled;
}

void PopupWindow::handle_popup_closing(bool is_child_window) {
    if (is_child_window) {
        arm_close_timer();
        return;
    }
    if (question_)
        return;  // already asking
    question_ =
        std::make_unique<Gtk::MessageDialog>(close_question, false, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_YES_NO, true);
    question_->set_title(close_question_caption);
    question_->set_position(Gtk::WIN_POS_CENTER);
    question_->signal_response().connect(sigc::mem_fun(*this, &PopupWindow::handle_close_question_response));
    question_->show();
}

void PopupWindow::handle_close_question_response(int response) {
    // The dialog cannot be deleted inside its own signal; it goes from the main loop.
    question_->hide();
    Glib::signal_idle().connect_once(sigc::track_obj([this] { question_.reset(); }, *this));
    if (response == Gtk::RESPONSE_YES)
        arm_close_timer();
}

void PopupWindow::arm_close_timer() {
    if (close_timer_.connected())
        return;
    close_timer_ =
        Glib::signal_timeout().connect(sigc::mem_fun(*this, &PopupWindow::handle_close_timer), close_delay_ms);
}

void PopupWindow::drop_close_request() {
    close_timer_.disconnect();
    if (question_) {
        question_->hide();
        question_.reset();
    }
}

bool PopupWindow::handle_close_timer() {
    close_timer_.disconnect();
    hide();
    return false;  // fires once per arming
}

bool PopupWindow::handle_popup_key_press(GdkEventKey* event) {
    if (event->keyval != GDK_KEY_Escape)
        return false;
    close();
    return true;
}

void PopupWindow::on_hide() {
    drop_close_request();
    Gtk::Window::on_hide();
    Glib::signal_idle().connect_once([this] { delete this; });
}

}  // namespace lunvek
