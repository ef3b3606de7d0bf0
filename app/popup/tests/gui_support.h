// What the window tests share: GTK with a window manager on the display, running the main loop until
// something happens, scripts in a browser, the dialogs on screen and the process tree's memory.
#pragma once

#include <gtkmm/messagedialog.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <string>
#include <vector>

namespace lunvek::test {

// Once per process: starts a window manager when the display has none (placement and frames are its
// business), then initialises GTK. False when there is no display.
bool start_gui();

// Runs the main loop until `done` holds or the time is up; returns whether `done` held.
bool pump_until(const std::function<bool()>& done, int timeout_ms = 10000);
void pump_for(int ms);

// Runs `script` in the page of `view` and gives its result as text ("" for undefined or an error).
std::string evaluate(WebKitWebView* view, const std::string& script);

// The message dialogs shown at the moment.
std::vector<Gtk::MessageDialog*> shown_message_dialogs();

// Processes started by this one, directly or not, leaving out the window manager started by start_gui.
std::vector<int> descendant_processes();
// Resident memory of this process and its descendants, in KiB: the plain sum of resident sizes (pages
// shared between the processes counted in each) and the proportional sum (shared pages split among them).
long tree_resident_kib();
long tree_proportional_kib();

// When LUNVEK_SCREENSHOT_DIR is set, saves the whole screen there as NAME.png, for a person to look at.
void save_screenshot(const std::string& name);

}  // namespace lunvek::test
