// What the workers of one main window share: the sites, the hand-off to the window thread and the window.
// Workers hold it by shared_ptr, so a worker that outlives its window still finds a closed dispatcher
// instead of freed memory.
#pragma once

#include <gtkmm/window.h>

#include <list>
#include <memory>

#include "app/app_settings.h"
#include "app/ui_dispatch.h"

namespace lunvek {

class MainWindow;

struct AppContext {
    explicit AppContext(AppSettings app_settings) : settings(std::move(app_settings)) {}

    const AppSettings settings;
    UiDispatch ui;
    // Window thread only; null once the window is gone.
    MainWindow* window = nullptr;
    // Window thread only: the message boxes shown for workers, destroyed with the window.
    std::list<std::unique_ptr<Gtk::Window>> message_boxes;
};

}  // namespace lunvek
