#include "app/popup/hidden_browser.h"

#include "app/popup/browser_settings.h"
#include "app/popup/popup_globals.h"
#include "app/popup/window_features.h"

namespace lunvek {
namespace {

constexpr const char* features_channel = "lunvekWindowOpen";

// WebKit's window properties do not tell whether the page asked for a tool bar, so the pages' own
// window.open reports its features text before the request reaches "create". The message and the request
// travel in order over the same connection.
constexpr const char* window_open_watcher = R"JS((function () {
    var open = window.open;
    window.open = function (url, target, features) {
        try {
            window.webkit.messageHandlers.lunvekWindowOpen.postMessage(
                features === undefined || features === null ? '' : String(features));
        } catch (e) {}
        return open.apply(this, arguments);
    };
})();)JS";

void on_window_open_message(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    gchar* text = jsc_value_to_string(value);
    static_cast<HiddenBrowser*>(self)->remember_window_features(text != nullptr ? text : "");
    g_free(text);
}

GtkWidget* on_create(WebKitWebView*, WebKitNavigationAction* action, gpointer self) {
    return GTK_WIDGET(static_cast<HiddenBrowser*>(self)->handle_new_window_request(action));
}

}  // namespace

HiddenBrowser::HiddenBrowser(Glib::RefPtr<Gtk::Application> application) : application_(std::move(application)) {}

HiddenBrowser::~HiddenBrowser() {
    popup_hidden_.disconnect();
    if (view_ != nullptr)
        g_signal_handlers_disconnect_by_data(view_, this);
    if (content_ != nullptr) {
        g_signal_handlers_disconnect_by_data(content_, this);
        g_object_unref(content_);
    }
}

void HiddenBrowser::load(const std::string& uri) {
    if (view_ == nullptr)
        create_view();
    webkit_web_view_load_uri(view_, uri.c_str());
}

void HiddenBrowser::create_view() {
    content_ = webkit_user_content_manager_new();
    g_signal_connect(content_, (std::string("script-message-received::") + features_channel).c_str(),
                     G_CALLBACK(on_window_open_message), this);
    webkit_user_content_manager_register_script_message_handler(content_, features_channel);
    WebKitUserScript* watcher = webkit_user_script_new(window_open_watcher, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                                       WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(content_, watcher);
    webkit_user_script_unref(watcher);

    WebKitSettings* settings = new_browser_settings();
    view_ = WEBKIT_WEB_VIEW(
        g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings, "user-content-manager", content_, nullptr));
    g_object_unref(settings);
    // The page closing its window in the hidden browser is not the popup closing: "close" stays unhandled.
    g_signal_connect(view_, "create", G_CALLBACK(on_create), this);

    host_ = std::make_unique<Gtk::OffscreenWindow>();
    GtkWidget* widget = GTK_WIDGET(view_);
    gtk_widget_set_size_request(widget, 24, 24);
    gtk_container_add(GTK_CONTAINER(host_->gobj()), widget);
    gtk_widget_show(widget);
    host_->show();
}

WebKitWebView* HiddenBrowser::handle_new_window_request(WebKitNavigationAction* action) {
    const bool by_script = webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_OTHER;
    // A window opened any other way (a link, a form) is an ordinary browser window, which has a tool bar.
    const bool toolbar = by_script ? features_ask_for_toolbar(pending_features_.value_or("")) : true;
    pending_features_.reset();

    if (popup_ == nullptr) {
        popup_ = PopupWindow::open();
        popup_hidden_ = popup_->signal_hide().connect([this] {
            popup_hidden_.disconnect();
            popup_ = nullptr;
        });
        if (application_)
            application_->add_window(*popup_);
    }
    popup_placed_flag = 0;
    return popup_->replace_browser(view_, toolbar, by_script);
}

}  // namespace lunvek
