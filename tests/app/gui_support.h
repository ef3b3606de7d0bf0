// Driving a real main window inside the test process: the toolkit, the event loop, real X input through
// xdotool, message boxes and the desktop handler that the tests register for magnet and web addresses.
#pragma once

#include <gtkmm/messagedialog.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/main_window.h"

namespace lunvek::testing {

using namespace std::chrono_literals;

// The private folder of this test run (also TMPDIR, XDG_DATA_HOME and XDG_CONFIG_HOME live under it).
const std::string& test_folder();
// Prepares the folder and registers the recording handler; called by main() before anything else.
void prepare_test_desktop();
void remove_test_desktop();

// Every address the registered handler received, in order.
std::vector<std::string> opened_addresses();
void forget_opened_addresses();

// Starts the toolkit once. False when there is no display (the test then fails with a clear message).
bool toolkit_ready();

// Runs the window thread's loop until `done` or the limit; returns `done()`.
bool pump_until(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s);
void pump_for(std::chrono::milliseconds time);

// Visible message boxes, oldest first.
std::vector<Gtk::MessageDialog*> visible_message_boxes();
std::string message_text(Gtk::MessageDialog& box);

// Runs a program while the loop keeps turning (it may need us, as xclip does), returns its stdout.
std::string run_pumping(const std::vector<std::string>& argv, std::chrono::milliseconds limit = 10s);

// Real pointer input at a point of `widget` (widget coordinates), through the X server.
void click_at(Gtk::Widget& widget, int x, int y, int button = 1, int repeat = 1);
// A key typed with the pointer over `window`, so it has the keyboard focus.
void type_key(Gtk::Window& window, const std::string& key);

// Where a row's cell sits in the list view, in the view's widget coordinates.
void row_point(MainWindow& window, int row, int& x, int& y);

AppSettings settings_for(const std::string& base);

// One main window on the test's loop, as the program builds it. The destructor closes it and waits for
// its workers, so no test leaves a thread behind.
class WindowUnderTest {
  public:
    explicit WindowUnderTest(const AppSettings& settings);
    ~WindowUnderTest();
    MainWindow& operator*() { return *window_; }
    MainWindow* operator->() { return window_.get(); }
    AppContext& context() { return *context_; }
    void close();

  private:
    std::shared_ptr<AppContext> context_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace lunvek::testing
