// The HTML of every page the site serves. Result pages follow the markup the desktop tool reads: one
// data-hash start tag and the name up to </h5> on one line per result, then the three prop_val values and
// the detail link as the next href; the page count sits in the first inline script.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "site/catalogue.h"

namespace lunvek::site {

// Escapes & < > " ' for attribute values; text content needs only & < >, so names and echoes read as
// plain text to anyone who takes them out of the page without decoding entities.
std::string html_escape(std::string_view text);
std::string text_escape(std::string_view text);

// Every character but ASCII letters, digits and spaces as a numeric reference: an echo of user input that
// can never form one of the markers the desktop tool looks for.
std::string echo_escape(std::string_view utf8);

// Every byte as %XX, the way the desktop tool sends keywords.
std::string percent_encode(std::string_view text);

struct ResultPage {
    std::string keyword;                // decoded UTF-8
    std::vector<std::u32string> words;  // folded words of the keyword
    std::vector<size_t> matches;        // catalogue indices of every match
    int page = 1;                       // 1-based
    int per_page = 20;
    std::string base;  // "http://host:port", no trailing slash
};

std::string render_home(const std::vector<std::string>& hot_words, const Catalogue& catalogue);
std::string render_results(const Catalogue& catalogue, const ResultPage& page);
std::string render_no_results(std::string_view echo);
std::string render_detail(const Entry& entry);
std::string render_update();
std::string render_maker_home();
std::string render_subscribe();
std::string render_not_found();

int total_pages(size_t matches, int per_page);

}  // namespace lunvek::site
