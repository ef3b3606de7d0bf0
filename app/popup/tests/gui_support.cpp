#include "gui_support.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <gtkmm/main.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

extern char** environ;

namespace lunvek::test {
namespace {

pid_t window_manager = 0;

bool display_has_window_manager(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long rest = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &rest, &data);
    const bool found = status == Success && type == XA_WINDOW && count == 1;
    if (data != nullptr)
        XFree(data);
    return found;
}

void stop_window_manager() {
    if (window_manager <= 0)
        return;
    kill(window_manager, SIGTERM);
    waitpid(window_manager, nullptr, 0);
    window_manager = 0;
}

void ensure_window_manager() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return;
    if (!display_has_window_manager(display)) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        char name[] = "openbox";
        char* argv[] = {name, nullptr};
        if (posix_spawnp(&window_manager, name, &actions, nullptr, argv, environ) == 0) {
            std::atexit(stop_window_manager);
            for (int i = 0; i < 100 && !display_has_window_manager(display); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    XCloseDisplay(display);
}

}  // namespace

bool start_gui() {
    static const bool started = [] {
        if (std::getenv("DISPLAY") == nullptr)
            return false;
        // The accessibility bridge talks to a bus these tests do not need, and leaks its replies.
        setenv("NO_AT_BRIDGE", "1", 0);
        ensure_window_manager();
        if (!gtk_init_check(nullptr, nullptr))
            return false;
        Gtk::Main::init_gtkmm_internals();
        return true;
    }();
    return started;
}

bool pump_until(const std::function<bool()>& done, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    // A short tick keeps the blocking iteration from sleeping past the deadline or a change of `done`.
    const guint tick = g_timeout_add(
        5, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool held = done();
    while (!held && std::chrono::steady_clock::now() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        held = done();
    }
    g_source_remove(tick);
    return held;
}

void pump_for(int ms) {
    pump_until([] { return false; }, ms);
}

std::string evaluate(WebKitWebView* view, const std::string& script) {
    struct Outcome {
        bool done = false;
        std::string text;
    } outcome;
    webkit_web_view_evaluate_javascript(
        view, script.c_str(), -1, nullptr, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* out = static_cast<Outcome*>(data);
            JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
            if (value != nullptr) {
                if (!jsc_value_is_undefined(value)) {
                    gchar* text = jsc_value_to_string(value);
                    out->text = text != nullptr ? text : "";
                    g_free(text);
                }
                g_object_unref(value);
            }
            out->done = true;
        },
        &outcome);
    pump_until([&] { return outcome.done; });
    return outcome.text;
}

std::vector<Gtk::MessageDialog*> shown_message_dialogs() {
    std::vector<Gtk::MessageDialog*> dialogs;
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        auto* dialog = dynamic_cast<Gtk::MessageDialog*>(window);
        if (dialog != nullptr && dialog->get_visible())
            dialogs.push_back(dialog);
    }
    return dialogs;
}

std::vector<int> descendant_processes() {
    std::map<int, std::vector<int>> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // The command name may hold spaces and brackets: the fields after it follow the last ')'.
        const auto close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        int parent = 0;
        rest >> state >> parent;
        children[parent].push_back(std::stoi(name));
    }
    std::vector<int> found;
    std::vector<int> queue{getpid()};
    while (!queue.empty()) {
        const int pid = queue.back();
        queue.pop_back();
        for (int child : children[pid]) {
            if (child == window_manager)
                continue;
            found.push_back(child);
            queue.push_back(child);
        }
    }
    return found;
}

namespace {

long field_kib(const std::string& file, const std::string& field) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(field.size()));
    }
    return 0;
}

long resident_kib(int pid) {
    return field_kib("/proc/" + std::to_string(pid) + "/status", "VmRSS:");
}

long proportional_kib(int pid) {
    return field_kib("/proc/" + std::to_string(pid) + "/smaps_rollup", "Pss:");
}

}  // namespace

long tree_resident_kib() {
    long total = resident_kib(getpid());
    for (int pid : descendant_processes())
        total += resident_kib(pid);
    return total;
}

long tree_proportional_kib() {
    long total = proportional_kib(getpid());
    for (int pid : descendant_processes())
        total += proportional_kib(pid);
    return total;
}

void save_screenshot(const std::string& name) {
    const char* dir = std::getenv("LUNVEK_SCREENSHOT_DIR");
    if (dir == nullptr)
        return;
    pump_for(300);  // let the window manager and the pages finish drawing
    const std::string command = "import -window root '" + std::string(dir) + "/" + name + ".png'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "screenshot failed: %s\n", command.c_str());
}

}  // namespace lunvek::test
