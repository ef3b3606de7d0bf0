#include "app/hyperlink.h"

#include <gdkmm/cursor.h>

#include "app/desktop_open.h"

namespace lunvek {

Hyperlink::Hyperlink(const std::string& caption, std::string address)
    : label_(caption.empty() ? address : caption), address_(std::move(address)) {
    add_events(Gdk::BUTTON_PRESS_MASK | Gdk::ENTER_NOTIFY_MASK | Gdk::LEAVE_NOTIFY_MASK);
    label_.set_xalign(0.5);
    label_.set_yalign(0.5);
    add(label_);
    update_colour();
}

void Hyperlink::activate_link() {
    left_press_.emit();
    opened_ = open_with_desktop(address_);
    update_colour();
}

bool Hyperlink::on_button_press_event(GdkEventButton* event) {
    if (event->type == GDK_BUTTON_PRESS && event->button == 1) {
        activate_link();
        return true;
    }
    return false;
}

bool Hyperlink::on_enter_notify_event(GdkEventCrossing*) {
    hovered_ = true;
    update_colour();
    return false;
}

bool Hyperlink::on_leave_notify_event(GdkEventCrossing*) {
    hovered_ = false;
    update_colour();
    return false;
}

void Hyperlink::on_realize() {
    Gtk::EventBox::on_realize();
    get_window()->set_cursor(Gdk::Cursor::create(get_display(), "pointer"));
}

void Hyperlink::update_colour() {
    label_.set_colour(hovered_ ? link_hover_colour : opened_ ? link_visited_colour : link_colour);
}

}  // namespace lunvek
