// The main window's own event handlers. Window thread.
#pragma once

namespace lunvek {

class MainWindow;

// Resets the flags, sets our version date and starts the hot-search and version-check workers.
void handle_main_window_created(MainWindow& window);
// Only the first click after start-up empties the keyword box.
void handle_keyword_box_click(MainWindow& window);
// Opens the maker's home page; the link then opens it a second time by its own action.
void handle_home_link_click(MainWindow& window);

}  // namespace lunvek
