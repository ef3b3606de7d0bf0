// How the program's browsers are set up: the hidden browser of the main window and the popup browser.
#pragma once

#include <webkit2/webkit2.h>

namespace lunvek {

// Settings shared by both browsers. Scripts may open windows without a click (otherwise WebKit blocks
// every script-opened window without telling anyone), and pages keep full-speed timers while not on
// screen (the hidden browser is never on screen).
WebKitSettings* new_browser_settings();

// A browser for the popup window, related to `opener` so that WebKit loads the requested window's content
// into it. It gets its own user content: the opener's window.open watcher has no business there.
WebKitWebView* new_popup_browser(WebKitWebView* opener);

}  // namespace lunvek
