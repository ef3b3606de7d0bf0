#include "app/program.h"

#include <gtk/gtk.h>
#include <gtkmm/application.h>
#include <gtkmm/main.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/globals.h"
#include "app/main_window.h"
#include "app/waits.h"
#include "app/worker_threads.h"
#include "net/http_request_timed.h"

namespace lunvek {

bool start_program() {
    // No command line: GTK gets no arguments to read.
    if (!gtk_init_check(nullptr, nullptr)) {
        return false;
    }
    Gtk::Main::init_gtkmm_internals();
    mark_window_thread();
    allocate_globals();
    set_timed_request_wait_hook([] {
        if (!on_window_thread()) {
            return false;
        }
        process_pending_input();
        return true;
    });
    return true;
}

int run_main_window(const AppSettings& settings) {
    // The application ends its loop when the last window added to it is gone: the main window, and the
    // popup window when one is open. Message boxes are not added: they go with the last window. No
    // application id: a run of the program is not registered on the session bus.
    auto application = Gtk::Application::create(Glib::ustring(), Gio::APPLICATION_NON_UNIQUE);
    auto context = std::make_shared<AppContext>(settings);
    std::unique_ptr<MainWindow> window;
    application->signal_activate().connect([&] {
        window = std::make_unique<MainWindow>(context, application);
        application->add_window(*window);
        window->show();
    });
    const int code = application->run();
    window.reset();
    context->ui.close();
    release_globals();
    return code;
}

void end_program(int code) {
    std::fflush(nullptr);
    if (running_workers() == 0 && timed_request_workers_running() == 0) {
        std::exit(code);
    }
    // A worker may still be inside a request; exit handlers would tear down what it uses.
    _exit(code);
}

}  // namespace lunvek
