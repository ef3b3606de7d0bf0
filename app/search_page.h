// What the program reads out of the search site's result pages. Pure functions over page texts (code page
// 936), callable without a window; the search worker and the tests share them.
#pragma once

#include <string>
#include <vector>

#include "text/text.h"

namespace lunvek {

class RegexObject;

inline constexpr int max_result_pages = 20;

// One row of the result list, before it is numbered. Code page 936.
struct ResultRow {
    Text name;  // highlight tags removed
    Text created;
    Text size;
    Text file_count;
    Text link;  // detail links of the site rewritten to magnet links
};

// The two expressions the pages are read with.
extern const char* const name_expression_pattern;
extern const char* const detail_expression_pattern;

// base + "/search?keyword=" + every byte of the keyword's UTF-8 form percent-encoded, then "&p=" + page
// when page is above 0.
Text search_address(const std::string& base, const Text& keyword, int page = 0);

// The echo between "没有找到有关" and "的结果": not empty on a page that found nothing.
Text no_results_echo(const Text& page);

// "totalPages:" up to the next ",", at most max_result_pages; 0 without the marker.
int result_page_count(const Text& page);

// Row j (from 1) from the two expressions already run over one page.
ResultRow result_row(RegexObject& names, RegexObject& details, int j, const std::string& base);

// Every row of one page, in page order.
std::vector<ResultRow> result_rows(const Text& page, const std::string& base);

// A downloaded body as a page text: UTF-8 bytes to code page 936.
Text page_text(const Bytes& body);

}  // namespace lunvek
