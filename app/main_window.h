// The main window: its controls at their fixed places, and the operations the workers post to it.
// Everything here runs on the window thread.
#pragma once

#include <gtkmm/application.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/fixed.h>
#include <gtkmm/headerbar.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

#include <memory>

#include "app/app_context.h"
#include "app/hidden_browser_handle.h"
#include "app/html_viewer.h"
#include "app/hyperlink.h"
#include "app/result_list.h"
#include "app/text_label.h"

namespace lunvek {

inline constexpr const char* window_caption = "Lunvek V2.0";
inline constexpr int window_width = 920;
inline constexpr int window_height = 664;

class MainWindow : public Gtk::Window {
  public:
    // Builds the window and runs handle_main_window_created, which starts the two start-up workers.
    // Popup windows are added to `application`, which then runs until the last of our windows is gone.
    explicit MainWindow(std::shared_ptr<AppContext> context, Glib::RefPtr<Gtk::Application> application = {});
    ~MainWindow() override;

    const std::shared_ptr<AppContext>& context() const { return context_; }

    // The status label's text (UTF-8) and colour (0x00BBGGRR).
    void show_status(const std::string& text, int colour);

    Gtk::HeaderBar title_bar;
    Gtk::Fixed layout;
    Gtk::Entry keyword_box;
    Gtk::Button search_button;
    TextLabel hot_title_label;
    TextLabel hot_label;
    TextLabel status_label;
    ResultList result_list;
    TextLabel usage_label;
    Hyperlink shop_link;
    Hyperlink home_link;
    Hyperlink update_link;
    Hyperlink subscription_link;
    TextLabel version_label;
    HtmlViewer html_viewer;
    HiddenBrowserHandle hidden_browser;  // loads the browser only when something loads a page into it
    Gtk::TextView spare_edit_box;

  protected:
    bool on_key_press_event(GdkEventKey* event) override;
    void on_hide() override;

  private:
    void place_controls();
    void connect_handlers();
    bool on_result_button_press(GdkEventButton* event);
    // The window is gone for the workers: their pending and later updates are dropped.
    void retire();

    std::shared_ptr<AppContext> context_;
    sigc::connection icon_idle_;
};

// Runs `update` with the window on the window thread, in the order of posting; dropped once the window
// is gone. Any thread.
template <typename Update>
void post_to_window(const std::shared_ptr<AppContext>& context, Update update) {
    context->ui.post([weak = std::weak_ptr<AppContext>(context), update = std::move(update)]() mutable {
        if (auto alive = weak.lock(); alive && alive->window) {
            update(*alive->window);
        }
    });
}

}  // namespace lunvek
