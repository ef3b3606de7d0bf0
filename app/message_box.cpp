#include "app/message_box.h"

#include <glibmm/main.h>
#include <gtkmm/messagedialog.h>

namespace lunvek {

namespace {

// Window thread. `closed` runs once when the user closes the box by any means.
void open_box(AppContext& context, const std::string& text, const std::string& caption, bool modal,
              std::function<void()> closed) {
    auto box = std::make_unique<Gtk::MessageDialog>(text, false, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_OK, modal);
    box->set_title(caption);
    Gtk::MessageDialog* raw = box.get();
    auto entry = context.message_boxes.insert(context.message_boxes.end(), std::move(box));
    auto answered = std::make_shared<bool>(false);
    raw->signal_response().connect([&context, entry, answered, closed = std::move(closed)](int) {
        if (*answered) {
            return;
        }
        *answered = true;
        closed();
        // Not destroyed inside its own signal: hide now, free when the loop is idle again.
        (*entry)->hide();
        auto owned = std::make_shared<std::unique_ptr<Gtk::Window>>(std::move(*entry));
        context.message_boxes.erase(entry);
        Glib::signal_idle().connect_once([owned] { owned->reset(); });
    });
    raw->show();
}

}  // namespace

bool show_message_box(AppContext& context, const std::string& text, const std::string& caption) {
    if (context.ui.on_window_thread()) {
        if (context.ui.closed()) {
            return false;
        }
        open_box(context, text, caption, true, [] {});
        return true;
    }
    return context.ui.ask<bool>(
        [&context, text, caption](std::function<void(bool)> reply) {
            open_box(context, text, caption, false, [reply] { reply(true); });
        },
        false);
}

}  // namespace lunvek
