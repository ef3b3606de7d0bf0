// One search: the button's handler, the worker thread that fills the result list page by page, and the
// busy animation in the status label.
#pragma once

#include <memory>

#include "app/app_context.h"

namespace lunvek {

class MainWindow;

inline constexpr const char* empty_keyword_text = "请输入你想要查找的资源名字！";
inline constexpr const char* search_box_caption = "亲爱的朋友！：";
inline constexpr const char* busy_status_text = "搜索器正在努力搜索中，请稍等！";
inline constexpr int final_status_colour = 255;  // red

// Window thread. An empty keyword gets a message box; any other starts a further search worker.
void handle_search_click(MainWindow& window);

// Worker thread: fetches up to 20 result pages and posts one row per result, then the final count.
void search_worker(std::shared_ptr<AppContext> context);

// Animation thread: a busy text in a new random colour every cycle until the list is complete.
void status_animation(std::shared_ptr<AppContext> context);

// The status text after a search that added `rows` rows (UTF-8).
std::string final_status_text(int rows);

}  // namespace lunvek
