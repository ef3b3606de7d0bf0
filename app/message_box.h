// The program's message boxes: question icon, one OK button, no owner window, caption "信息：" unless
// another is given. Texts are UTF-8.
#pragma once

#include <string>

#include "app/app_context.h"

namespace lunvek {

inline constexpr const char* default_caption = "信息：";

// From a worker thread: the window thread shows the box and only the calling worker waits until it is
// closed; the main window stays usable. Returns true when the user closed it, false when the window went
// away first. From the window thread: shows the box modal for our windows and returns true at once.
bool show_message_box(AppContext& context, const std::string& text, const std::string& caption = default_caption);

}  // namespace lunvek
