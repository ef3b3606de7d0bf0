// At start-up: the day's popular searches from the search site's home page.
#pragma once

#include <memory>

#include "app/app_context.h"
#include "text/text.h"

namespace lunvek {

inline constexpr const char* no_hot_searches_text = "今天没有找到热门搜索哦！";

// The keywords of a home page (code page 936), in page order.
TextArray hot_keywords_of(const Text& page);

// Worker thread, run once: five keywords in the hot-search label, the first in the keyword box.
void hot_search_worker(std::shared_ptr<AppContext> context);

}  // namespace lunvek
