// The popup window's one program-wide flag. It lives beside the popup code rather than with the main
// window's globals so the popup library does not depend on the main window.
#pragma once

namespace lunvek {

// 0 from a new-window request of the hidden browser until the popup window's placement has been set for
// it, then 1. Window thread only.
extern int popup_placed_flag;

}  // namespace lunvek
