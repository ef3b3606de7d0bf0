// At start-up: asks the update site for the current version date and tells the user about a new one.
#pragma once

#include <memory>

#include "app/app_context.h"

namespace lunvek {

inline constexpr const char* new_version_text = "检测到软件有新版本，请下载新版本使用！";
inline constexpr const char* new_version_caption = "软件更新提示！";

// Worker thread, run once.
void version_check_worker(std::shared_ptr<AppContext> context);

}  // namespace lunvek
