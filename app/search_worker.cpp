#include "app/search_worker.h"

#include <optional>

#include "app/globals.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/search_page.h"
#include "app/waits.h"
#include "app/worker_threads.h"
#include "net/http_request.h"
#include "regex/regex_object.h"
#include "text/encoding.h"

namespace lunvek {

namespace {

// The keyword box's text in code page 936, read on the window thread; nothing once the window is gone.
std::optional<Text> read_keyword(AppContext& context) {
    return context.ui.call<std::optional<Text>>(
        [&context]() -> std::optional<Text> {
            if (!context.window) {
                return std::nullopt;
            }
            return utf8_to_ansi(context.window->keyword_box.get_text());
        },
        std::nullopt);
}

Text fetch_page(const Text& address) {
    return page_text(http_request(address, 0));
}

// Numbered by its place in the list when it lands there: two searches running at once share the list.
void add_result_row(MainWindow& window, const ResultRow& row) {
    window.result_list.append({number_to_text(window.result_list.row_count() + 1), ansi_to_utf8(row.name),
                               ansi_to_utf8(row.created), ansi_to_utf8(row.size), ansi_to_utf8(row.file_count),
                               ansi_to_utf8(row.link)});
}

}  // namespace

std::string final_status_text(int rows) {
    return "亲，已搜索完毕！  共找到  " + number_to_text(rows) + "  个内容。";
}

void handle_search_click(MainWindow& window) {
    search_done_flag = 0;
    if (window.keyword_box.get_text().empty()) {
        show_message_box(*window.context(), empty_keyword_text, search_box_caption);
        return;
    }
    std::shared_ptr<AppContext> context = window.context();
    start_worker([context] { search_worker(context); });
}

void search_worker(std::shared_ptr<AppContext> context) {
    RegexObject name_expression;
    RegexObject detail_expression;
    start_worker([context] { status_animation(context); });
    const std::string& base = context->settings.search_base;

    std::optional<Text> keyword = read_keyword(*context);
    if (!keyword) {
        return;
    }
    Text page = fetch_page(search_address(base, *keyword));
    if (Text echo = no_results_echo(page); !echo.empty()) {
        show_message_box(*context, "很抱歉, 没有找到有关  " + ansi_to_utf8(echo) + "  的结果。", search_box_caption);
        return;
    }
    post_to_window(context, [](MainWindow& window) { window.result_list.clear(); });

    const int pages = result_page_count(page);
    int rows_added = 0;
    for (int p = 1; p <= pages; ++p) {
        process_pending_input();
        // Read again for every page: an edited keyword applies to the pages not yet requested.
        keyword = read_keyword(*context);
        if (!keyword) {
            return;  // the window is gone; nobody would see the rest
        }
        page = fetch_page(search_address(base, *keyword, p));
        name_expression.create(name_expression_pattern, page);
        detail_expression.create(detail_expression_pattern, page);
        const int matches = name_expression.match_count();
        for (int j = 1; j <= matches; ++j) {
            process_pending_input();
            post_to_window(context, [row = result_row(name_expression, detail_expression, j, base)](
                                        MainWindow& window) { add_result_row(window, row); });
            ++rows_added;
        }
    }

    search_done_flag = 1;
    // Longer than one animation cycle, so the animation's last busy text cannot land after the final one.
    wait_dispatching(context->settings.final_status_delay_ms);
    post_to_window(context, [text = final_status_text(rows_added)](MainWindow& window) {
        window.show_status(text, final_status_colour);
    });
}

}  // namespace lunvek
