// A hyperlink: a one-line caption that opens its address with the desktop when the left button goes down.
// Blue normally, dark red once a click has opened the address, lighter blue under the pointer.
#pragma once

#include <gtkmm/eventbox.h>

#include "app/text_label.h"

namespace lunvek {

inline constexpr int link_colour = 0xFF0000;          // RGB(0, 0, 255)
inline constexpr int link_hover_colour = 0xC56A31;    // RGB(49, 106, 197)
inline constexpr int link_visited_colour = 0x000080;  // RGB(128, 0, 0)

class Hyperlink : public Gtk::EventBox {
  public:
    // An empty caption shows the address.
    Hyperlink(const std::string& caption, std::string address);

    TextLabel& label() { return label_; }
    const std::string& address() const { return address_; }

    // Runs before the link opens its address; its handlers cannot stop the opening.
    sigc::signal<void()>& signal_left_press() { return left_press_; }

    // What a left-button press does.
    void activate_link();

  protected:
    bool on_button_press_event(GdkEventButton* event) override;
    bool on_enter_notify_event(GdkEventCrossing* event) override;
    bool on_leave_notify_event(GdkEventCrossing* event) override;
    void on_realize() override;

  private:
    void update_colour();

    TextLabel label_;
    std::string address_;
    sigc::signal<void()> left_press_;
    bool hovered_ = false;
    bool opened_ = false;
};

}  // namespace lunvek
