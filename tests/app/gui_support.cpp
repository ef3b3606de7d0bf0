#include "gui_support.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <gtkmm/window.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

#include "app/program.h"
#include "app/waits.h"
#include "app/worker_threads.h"

namespace lunvek::testing {

namespace fs = std::filesystem;

namespace {

std::string& folder() {
    static std::string path;
    return path;
}

std::string log_path() {
    return folder() + "/opened.log";
}

void write_file(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << content;
}

}  // namespace

const std::string& test_folder() {
    return folder();
}

void prepare_test_desktop() {
    char pattern[] = "/tmp/lunvek-app-tests-XXXXXX";
    folder() = mkdtemp(pattern);
    const fs::path root = folder();
    setenv("TMPDIR", folder().c_str(), 1);
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
    // The user's defaults (mimeapps.list in XDG_CONFIG_HOME) name our handler; the system's data stays
    // reachable for the MIME database the toolkit needs.
    setenv("XDG_CONFIG_DIRS", (root / "system-config").c_str(), 1);
    fs::create_directories(root / "system-config");
    setenv("NO_AT_BRIDGE", "1", 1);

    const fs::path script = root / "record-address";
    write_file(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log_path() + "'\n");
    fs::permissions(script, fs::perms::owner_all);
    write_file(root / "data/applications/lunvek-test-recorder.desktop",
               "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + script.string() +
                   " %u\nMimeType=x-scheme-handler/magnet;x-scheme-handler/http;x-scheme-handler/https;\n");
    write_file(root / "config/mimeapps.list",
               "[Default Applications]\nx-scheme-handler/magnet=lunvek-test-recorder.desktop\n"
               "x-scheme-handler/http=lunvek-test-recorder.desktop\n"
               "x-scheme-handler/https=lunvek-test-recorder.desktop\n");
}

void remove_test_desktop() {
    std::error_code ignored;
    fs::remove_all(folder(), ignored);
}

std::vector<std::string> opened_addresses() {
    std::vector<std::string> lines;
    std::ifstream file(log_path());
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

void forget_opened_addresses() {
    std::error_code ignored;
    fs::remove(log_path(), ignored);
}

bool toolkit_ready() {
    static const bool ready = start_program();
    return ready;
}

bool pump_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        wait_dispatching(5);
    }
    return true;
}

void pump_for(std::chrono::milliseconds time) {
    wait_dispatching(static_cast<int>(time.count()));
}

std::vector<Gtk::MessageDialog*> visible_message_boxes() {
    std::vector<Gtk::MessageDialog*> boxes;
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        if (auto* box = dynamic_cast<Gtk::MessageDialog*>(window); box && box->get_visible()) {
            boxes.push_back(box);
        }
    }
    return boxes;
}

std::string message_text(Gtk::MessageDialog& box) {
    return box.property_text().get_value();
}

std::string run_pumping(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
    std::vector<gchar*> args;
    for (const auto& arg : argv) {
        args.push_back(const_cast<gchar*>(arg.c_str()));
    }
    args.push_back(nullptr);
    GPid pid = 0;
    gint out = -1;
    GError* error = nullptr;
    auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD);
    if (!g_spawn_async_with_pipes(nullptr, args.data(), nullptr, flags, nullptr, nullptr, &pid, nullptr, &out, nullptr,
                                  &error)) {
        ADD_FAILURE() << "cannot run " << argv[0] << ": " << error->message;
        g_error_free(error);
        return {};
    }
    std::string output;
    bool ended = false;
    pump_until(
        [&] {
            char buffer[4096];
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(out, &ready);
            timeval none{0, 0};
            if (select(out + 1, &ready, nullptr, nullptr, &none) > 0) {
                ssize_t got = read(out, buffer, sizeof buffer);
                if (got > 0) {
                    output.append(buffer, static_cast<size_t>(got));
                    return false;
                }
            }
            int status = 0;
            ended = waitpid(pid, &status, WNOHANG) == pid;
            return ended;
        },
        limit);
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        ADD_FAILURE() << argv[0] << " did not end";
    }
    for (char buffer[4096];;) {
        ssize_t got = read(out, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        output.append(buffer, static_cast<size_t>(got));
    }
    close(out);
    g_spawn_close_pid(pid);
    return output;
}

void click_at(Gtk::Widget& widget, int x, int y, int button, int repeat) {
    Gtk::Window* top = dynamic_cast<Gtk::Window*>(widget.get_toplevel());
    ASSERT_NE(top, nullptr);
    int in_top_x = 0, in_top_y = 0;
    ASSERT_TRUE(widget.translate_coordinates(*top, x, y, in_top_x, in_top_y));
    int origin_x = 0, origin_y = 0;
    top->get_window()->get_origin(origin_x, origin_y);
    // No --sync: it waits for ever when the pointer is already there.
    run_pumping({"xdotool", "mousemove", std::to_string(origin_x + in_top_x), std::to_string(origin_y + in_top_y),
                 "sleep", "0.05", "click", "--repeat", std::to_string(repeat), "--delay", "80",
                 std::to_string(button)});
    pump_for(150ms);
}

void type_key(Gtk::Window& window, const std::string& key) {
    int origin_x = 0, origin_y = 0;
    window.get_window()->get_origin(origin_x, origin_y);
    // Without a window manager the keyboard focus follows the pointer.
    run_pumping({"xdotool", "mousemove", std::to_string(origin_x + 300), std::to_string(origin_y + 20), "sleep", "0.05",
                 "key", key});
    pump_for(150ms);
}

void row_point(MainWindow& window, int row, int& x, int& y) {
    Gtk::TreeView& view = window.result_list.view();
    Gdk::Rectangle cell;
    view.get_cell_area(Gtk::TreePath(std::to_string(row)), *view.get_column(1), cell);
    view.convert_bin_window_to_widget_coords(cell.get_x() + cell.get_width() / 2, cell.get_y() + cell.get_height() / 2,
                                             x, y);
}

AppSettings settings_for(const std::string& base) {
    AppSettings settings;
    settings.search_base = base;
    settings.update_base = base;
    settings.home_url = base + "/maker/";
    settings.subscribe_url = base + "/maker/subscribe.html";
    settings.version_notice_delay_ms = 50;
    settings.final_status_delay_ms = 500;
    settings.version_timeout_s = 10;
    return settings;
}

WindowUnderTest::WindowUnderTest(const AppSettings& settings) : context_(std::make_shared<AppContext>(settings)) {
    window_ = std::make_unique<MainWindow>(context_);
    window_->show();
    pump_until([this] { return window_->get_mapped(); });
    pump_for(50ms);
}

void WindowUnderTest::close() {
    if (window_->get_visible()) {
        window_->close();
        pump_for(20ms);
    }
}

WindowUnderTest::~WindowUnderTest() {
    close();
    window_.reset();
    // Workers end by themselves once the window is gone; give late ones the loop while they finish.
    pump_until([] { return running_workers() == 0; }, 20s);
    EXPECT_EQ(running_workers(), 0) << "a worker outlived its window by more than 20 s";
}

}  // namespace lunvek::testing
