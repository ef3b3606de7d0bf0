// What a click on the result list does with a row's magnet link. Window thread.
#pragma once

#include <string>

namespace lunvek {

class MainWindow;

inline constexpr const char* no_magnet_handler_text =
    "没有找到能打开磁力链的下载程序，磁力链已复制到剪贴板，可以粘贴到下载程序中使用。";

// Hands the selected row's link to the hidden HTML viewer, which passes magnet links to the desktop.
void handle_result_double_click(MainWindow& window);
// Puts the selected row's link on the clipboard (and the primary selection); called before the press
// moves the selection.
void handle_result_right_click(MainWindow& window);
// No program took a magnet link: the user gets it on the clipboard and is told so.
void handle_magnet_without_handler(MainWindow& window, const std::string& link);

// CLIPBOARD and PRIMARY, as UTF-8 text.
void put_on_clipboard(const std::string& text);

}  // namespace lunvek
