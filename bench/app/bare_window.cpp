// The reference for start-up time and memory: a bare gtkmm window of the same size with one label.
#include <gtkmm/application.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>

int main() {
    auto application = Gtk::Application::create(Glib::ustring(), Gio::APPLICATION_NON_UNIQUE);
    Gtk::Window window;
    window.set_title("bare gtkmm window");
    window.set_default_size(920, 630);
    Gtk::Label label("今日热门搜索：");
    window.add(label);
    window.show_all();
    return application->run(window);
}
