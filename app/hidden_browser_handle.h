// The main window's hidden browser, without WebKit in the program: the browser and the popup window live
// in a module of their own that is loaded at the first load. Linking WebKit alone costs the start-up
// tens of milliseconds and megabytes, and nothing in the program loads a page into the hidden browser.
#pragma once

#include <gtkmm/application.h>

#include <string>

// WebKit's own name for its view, declared here so this header does not bring WebKit in.
typedef struct _WebKitWebView WebKitWebView;

namespace lunvek {

class HiddenBrowserHandle {
  public:
    // When `application` is given, each popup window is added to it: the application then keeps running
    // until its last window, main window or popup window, is gone.
    explicit HiddenBrowserHandle(Glib::RefPtr<Gtk::Application> application = {});
    // An open popup window outlives the hidden browser, and the module stays loaded for it.
    ~HiddenBrowserHandle();
    HiddenBrowserHandle(const HiddenBrowserHandle&) = delete;
    HiddenBrowserHandle& operator=(const HiddenBrowserHandle&) = delete;

    // Only for tests: nothing in the program navigates the hidden browser. The module, the browser and
    // every WebKit process come into being here, at the first load. False when the module cannot be loaded.
    bool load(const std::string& uri);

    WebKitWebView* view() const;  // null until the first load

  private:
    Glib::RefPtr<Gtk::Application> application_;
    void* browser_ = nullptr;  // the module's hidden browser, once loaded
};

}  // namespace lunvek
