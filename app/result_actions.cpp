#include "app/result_actions.h"

#include <gtkmm/clipboard.h>

#include "app/main_window.h"
#include "app/message_box.h"

namespace lunvek {

namespace {

std::string selected_link(MainWindow& window) {
    return window.result_list.cell(window.result_list.selected_row(), magnet_column);
}

}  // namespace

void handle_result_double_click(MainWindow& window) {
    if (window.result_list.row_count() == 0) {
        return;
    }
    window.html_viewer.set_address(selected_link(window));
}

void handle_result_right_click(MainWindow& window) {
    if (window.result_list.row_count() == 0) {
        return;
    }
    put_on_clipboard(selected_link(window));
}

void handle_magnet_without_handler(MainWindow& window, const std::string& link) {
    put_on_clipboard(link);
    show_message_box(*window.context(), no_magnet_handler_text);
}

void put_on_clipboard(const std::string& text) {
    Gtk::Clipboard::get(GDK_SELECTION_CLIPBOARD)->set_text(text);
    Gtk::Clipboard::get(GDK_SELECTION_PRIMARY)->set_text(text);
}

}  // namespace lunvek
