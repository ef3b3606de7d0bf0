#include "app/main_window_handlers.h"

#include "app/desktop_open.h"
#include "app/globals.h"
#include "app/hot_search_worker.h"
#include "app/main_window.h"
#include "app/version_check_worker.h"
#include "app/worker_threads.h"

namespace lunvek {

inline constexpr const char* own_version = "20150117";

void handle_main_window_created(MainWindow& window) {
    window.unmaximize();
    window.deiconify();
    search_done_flag = 0;
    keyword_cleared_flag = 0;
    current_version.set(own_version);
    std::shared_ptr<AppContext> context = window.context();
    start_worker([context] { hot_search_worker(context); });
    start_worker([context] { version_check_worker(context); });
}

void handle_keyword_box_click(MainWindow& window) {
    if (keyword_cleared_flag == 0) {
        window.keyword_box.set_text("");
    }
    keyword_cleared_flag = 1;
}

void handle_home_link_click(MainWindow& window) {
    open_with_desktop(window.context()->settings.home_url);
}

}  // namespace lunvek
