#include "app/hot_search_worker.h"

#include "app/globals.h"
#include "app/main_window.h"
#include "app/search_page.h"
#include "net/http_request.h"
#include "text/encoding.h"
#include "text/extract.h"

namespace lunvek {

namespace {

constexpr int shown_keywords = 5;

}  // namespace

TextArray hot_keywords_of(const Text& page) {
    TextArray keywords;
    all_texts_between(page, "/search?keyword=", "\">", keywords);
    return keywords;
}

void hot_search_worker(std::shared_ptr<AppContext> context) {
    TextArray keywords = hot_keywords_of(page_text(http_request(context->settings.search_base)));
    hot_keywords.set(keywords);
    if (keywords.size() < shown_keywords) {
        post_to_window(context, [](MainWindow& window) { window.hot_label.set_text(no_hot_searches_text); });
        return;
    }
    Text shown = keywords[0];
    for (int k = 2; k <= shown_keywords; ++k) {
        shown += " " + keywords[k - 1];
    }
    post_to_window(context, [shown = ansi_to_utf8(shown), first = ansi_to_utf8(keywords[0])](MainWindow& window) {
        window.hot_label.set_text(shown);
        window.keyword_box.set_text(first);
    });
}

}  // namespace lunvek
