#include "app/popup/popup_module.h"

#include "app/popup/hidden_browser.h"

extern "C" {

__attribute__((visibility("default"))) void* lunvek_hidden_browser_new(GtkApplication* application) {
    Glib::RefPtr<Gtk::Application> owner;
    if (application != nullptr)
        owner = Glib::wrap(application, true);
    return new lunvek::HiddenBrowser(std::move(owner));
}

__attribute__((visibility("default"))) void lunvek_hidden_browser_free(void* browser) {
    delete static_cast<lunvek::HiddenBrowser*>(browser);
}

__attribute__((visibility("default"))) void lunvek_hidden_browser_load(void* browser, const char* uri) {
    static_cast<lunvek::HiddenBrowser*>(browser)->load(uri);
}

__attribute__((visibility("default"))) WebKitWebView* lunvek_hidden_browser_view(void* browser) {
    return static_cast<lunvek::HiddenBrowser*>(browser)->view();
}
}
