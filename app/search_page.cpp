#include "app/search_page.h"

#include <algorithm>

#include "regex/regex_object.h"
#include "text/encoding.h"
#include "text/extract.h"

namespace lunvek {

const char* const name_expression_pattern = R"re([\s\S]data-hash=.*?>(.*?)</h5>)re";
const char* const detail_expression_pattern = R"re([\s\S]*?prop_val">(.*?)</span>)re"
                                              R"re([\s\S]*?prop_val">(.*?)</span>)re"
                                              R"re([\s\S]*?prop_val">(.*?)</span>)re"
                                              R"re([\s\S]*?href="(.*?)">)re";

namespace {

// The markers are written here in UTF-8; pages are code page 936 by the time they are read.
const Text& no_results_left() {
    static const Text marker = utf8_to_ansi("没有找到有关");
    return marker;
}

const Text& no_results_right() {
    static const Text marker = utf8_to_ansi("的结果");
    return marker;
}

constexpr const char* highlight_open = "<span class='highlight'>";
constexpr const char* highlight_close = "</span>";

}  // namespace

Text search_address(const std::string& base, const Text& keyword, int page) {
    Text address = base + "/search?keyword=" + url_encode(keyword, false, true);
    if (page > 0) {
        address += "&p=" + number_to_text(page);
    }
    return address;
}

Text no_results_echo(const Text& page) {
    return text_between(page, no_results_left(), no_results_right());
}

int result_page_count(const Text& page) {
    return std::min(to_int(text_between(page, "totalPages:", ",")), max_result_pages);
}

ResultRow result_row(RegexObject& names, RegexObject& details, int j, const std::string& base) {
    ResultRow row;
    row.name = replace_pairs(names.submatch_text(j, 1), highlight_open, "", highlight_close, "", highlight_open, "",
                             highlight_close, "", highlight_open, "");
    row.link = replace_pairs(details.submatch_text(j, 4), base + "/hash/", "magnet:?xt=urn:btih:");
    row.created = details.submatch_text(j, 1);
    row.size = details.submatch_text(j, 2);
    row.file_count = details.submatch_text(j, 3);
    return row;
}

std::vector<ResultRow> result_rows(const Text& page, const std::string& base) {
    RegexObject names;
    RegexObject details;
    names.create(name_expression_pattern, page);
    details.create(detail_expression_pattern, page);
    std::vector<ResultRow> rows;
    const int count = names.match_count();
    for (int j = 1; j <= count; ++j) {
        rows.push_back(result_row(names, details, j, base));
    }
    return rows;
}

Text page_text(const Bytes& body) {
    return utf8_to_ansi(bytes_to_text(body));
}

}  // namespace lunvek
