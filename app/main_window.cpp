#include "app/main_window.h"

#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>
#include <gtkmm/cssprovider.h>

#include "app/icon.h"
#include "app/main_window_handlers.h"
#include "app/result_actions.h"
#include "app/search_worker.h"

namespace lunvek {

namespace {

// The window's default font and a compact title bar, so that the controls' rows fit the 664-pixel frame
// the way they fit a classic one; entries and buttons lose the theme's minimum heights for the same reason.
constexpr const char* window_css = R"css(
.lunvek-main { font-family: "Noto Sans CJK SC", sans-serif; font-size: 12px; }
.lunvek-main headerbar { min-height: 0; padding: 0 4px; }
.lunvek-main headerbar .title { font-size: 13px; font-weight: bold; }
.lunvek-main headerbar button { min-height: 0; min-width: 0; padding: 2px; margin: 2px 0; }
.lunvek-main entry { min-height: 0; padding-top: 0; padding-bottom: 0; color: black; background-color: white; }
.lunvek-main button { min-height: 0; padding-top: 0; padding-bottom: 0; }
.lunvek-main treeview { color: black; background-color: white; }
)css";

void install_window_css() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    auto provider = Gtk::CssProvider::create();
    provider->load_from_data(window_css);
    Gtk::StyleContext::add_provider_for_screen(Gdk::Screen::get_default(), provider,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

// Where a control sits inside the client area, in pixels.
struct Place {
    int left, top, width, height;
};

}  // namespace

MainWindow::MainWindow(std::shared_ptr<AppContext> context, Glib::RefPtr<Gtk::Application> application)
    : hot_title_label("今日热门搜索："),
      usage_label(
          "1.请在上方搜素框中输入你想要搜素的内容，在搜素结果上“双击”即可自动启动迅雷下载，“右击”则可以将下载"
          "地址复制到剪贴板上"),
      shop_link("2.欢迎访问【Pelmora网】，每日九块九包邮，天天特价！点击此处进入→→", context->settings.home_url),
      home_link("", context->settings.home_url),
      update_link("3.如果搜索不到结果，请点击这里更新版本", context->settings.update_base + "/soft/update.html"),
      subscription_link("如果想要获得更多影视资源，请点击这里订阅我的影视栏目", context->settings.subscribe_url),
      version_label("当前版本为 V2.0 更新日期：20150117"),
      html_viewer([weak = std::weak_ptr<AppContext>(context)](const std::string& link) {
          if (auto alive = weak.lock(); alive && alive->window) {
              handle_magnet_without_handler(*alive->window, link);
          }
      }),
      hidden_browser(std::move(application)),
      context_(std::move(context)) {
    context_->window = this;
    install_window_css();
    get_style_context()->add_class("lunvek-main");

    // A client-side title bar is the one way to drop the maximise button under every window manager.
    title_bar.set_title(window_caption);
    title_bar.set_show_close_button(true);
    title_bar.set_decoration_layout(":minimize,close");
    set_titlebar(title_bar);
    set_title(window_caption);
    // A client-side title bar is not part of the default size: the frame as a whole is 920 x 664.
    int title_minimum = 0, title_natural = 0;
    title_bar.show();
    title_bar.get_preferred_height(title_minimum, title_natural);
    set_default_size(window_width, window_height - title_natural);
    set_position(Gtk::WIN_POS_CENTER);
    set_resizable(true);
    // Drawing the SVG icon loads the SVG renderer: done once the window is on screen, not before.
    signal_map().connect([this] {
        icon_idle_ = Glib::signal_idle().connect([this] {
            if (auto icon = application_icon()) {
                set_icon(icon);
            }
            return false;
        });
    });

    place_controls();
    connect_handlers();
    add(layout);
    show_all_children();
    spare_edit_box.hide();
    handle_main_window_created(*this);
}

MainWindow::~MainWindow() {
    retire();
}

void MainWindow::place_controls() {
    keyword_box.set_alignment(0.5);
    keyword_box.set_has_frame(true);
    search_button.set_label("搜索一下");

    hot_title_label.set_font(yahei_family, 12);
    hot_title_label.set_xalign(0.0);
    hot_label.set_font(yahei_family, 12);
    status_label.set_font(yahei_family, 14, Pango::WEIGHT_BOLD);
    usage_label.set_xalign(0.0);
    version_label.set_xalign(0.0);
    for (Hyperlink* link : {&shop_link, &update_link, &subscription_link}) {
        link->label().set_font(song_family, 12);
    }
    home_link.label().set_font(song_family, 16);
    spare_edit_box.set_no_show_all(true);

    auto put = [this](Gtk::Widget& widget, Place place) {
        widget.set_size_request(place.width, place.height);
        layout.put(widget, place.left, place.top);
    };
    put(keyword_box, {123, 35, 560, 28});
    put(search_button, {689, 34, 95, 30});
    put(hot_title_label, {129, 72, 80, 24});
    put(hot_label, {224, 72, 456, 24});
    put(status_label, {179, 102, 549, 24});
    put(result_list, {21, 130, 867, 414});
    put(usage_label, {21, 545, 864, 24});
    put(shop_link, {16, 576, 411, 24});
    put(home_link, {430, 574, 192, 24});
    put(update_link, {6, 605, 256, 24});
    put(subscription_link, {272, 605, 360, 24});
    put(version_label, {656, 605, 224, 24});
    put(spare_edit_box, {48, 24, 24, 24});
}

void MainWindow::connect_handlers() {
    keyword_box.signal_button_press_event().connect(
        [this](GdkEventButton* event) {
            if (event->type == GDK_BUTTON_PRESS && event->button == 1) {
                handle_keyword_box_click(*this);
            }
            return false;  // the box then handles the click as usual
        },
        false);
    search_button.signal_clicked().connect([this] { handle_search_click(*this); });
    home_link.signal_left_press().connect([this] { handle_home_link_click(*this); });
    result_list.view().signal_button_press_event().connect(sigc::mem_fun(*this, &MainWindow::on_result_button_press),
                                                           false);
}

bool MainWindow::on_result_button_press(GdkEventButton* event) {
    Gtk::TreeView& view = result_list.view();
    if (event->window != view.get_bin_window()->gobj()) {
        return false;
    }
    Gtk::TreeModel::Path path;
    Gtk::TreeViewColumn* column = nullptr;
    int cell_x = 0, cell_y = 0;
    bool on_row =
        view.get_path_at_pos(static_cast<int>(event->x), static_cast<int>(event->y), path, column, cell_x, cell_y);
    if (event->type == GDK_2BUTTON_PRESS && event->button == 1) {
        handle_result_double_click(*this);
        return false;
    }
    if (event->type != GDK_BUTTON_PRESS) {
        return false;
    }
    if (event->button == 3) {
        // The link is taken before the press moves the selection, as a list view does it.
        handle_result_right_click(*this);
        result_list.select_row(on_row ? path[0] : -1);
        return true;
    }
    if (!on_row) {
        result_list.select_row(-1);  // a click below the rows leaves no row selected
    }
    return false;
}

void MainWindow::show_status(const std::string& text, int colour) {
    status_label.set_text(text);
    status_label.set_colour(colour);
}

bool MainWindow::on_key_press_event(GdkEventKey* event) {
    if (event->keyval == GDK_KEY_Escape) {
        close();  // a close request, as from the title bar
        return true;
    }
    return Gtk::Window::on_key_press_event(event);
}

void MainWindow::on_hide() {
    Gtk::Window::on_hide();
    retire();
}

void MainWindow::retire() {
    if (context_->window != this) {
        return;
    }
    context_->window = nullptr;
    context_->ui.close();
    context_->message_boxes.clear();
}

}  // namespace lunvek
