// The main window's hidden browser. The program never loads an address into it; when a page in it asks
// for a new window, the content opens in the popup window instead of a window of WebKit's own.
#pragma once

#include <gtkmm/application.h>
#include <gtkmm/offscreenwindow.h>
#include <webkit2/webkit2.h>

#include <memory>
#include <optional>
#include <string>

#include "app/popup/popup_window.h"

namespace lunvek {

class HiddenBrowser {
  public:
    // When `application` is given, each popup window is added to it: the application then keeps running
    // until its last window, main window or popup window, is gone.
    explicit HiddenBrowser(Glib::RefPtr<Gtk::Application> application = {});
    // An open popup window outlives the hidden browser (the user may close the main window first).
    ~HiddenBrowser();
    HiddenBrowser(const HiddenBrowser&) = delete;
    HiddenBrowser& operator=(const HiddenBrowser&) = delete;

    // Only for tests: nothing in the program navigates the hidden browser. The browser itself, and with it
    // every WebKit process, comes into being here, at the first load.
    void load(const std::string& uri);

    WebKitWebView* view() const { return view_; }  // null until the first load
    PopupWindow* popup() const { return popup_; }  // null while no popup window exists

    // Opens the popup window, or reuses the one that exists, and hands back the browser that the requested
    // window's content loads into.
    WebKitWebView* handle_new_window_request(WebKitNavigationAction* action);

    // Runs on the window thread from the watcher that wraps window.open in the hidden browser's pages.
    void remember_window_features(std::string features) { pending_features_ = std::move(features); }

  private:
    void create_view();

    Glib::RefPtr<Gtk::Application> application_;
    std::unique_ptr<Gtk::OffscreenWindow> host_;  // keeps the browser realized without showing it
    WebKitWebView* view_ = nullptr;               // owned by host_
    WebKitUserContentManager* content_ = nullptr;
    std::optional<std::string> pending_features_;
    PopupWindow* popup_ = nullptr;
    sigc::connection popup_hidden_;
};

}  // namespace lunvek
