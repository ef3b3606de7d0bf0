// Routing and the search page logic.
#include "site/site.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "site/keyword.h"
#include "site/pages.h"

namespace lunvek::site {

namespace {

constexpr std::string_view html_type = "text/html; charset=utf-8";

// Raw value of the first `name=` parameter of a query, undecoded.
std::optional<std::string_view> query_value(std::string_view query, std::string_view name) {
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const size_t eq = pair.find('=');
        if (pair.substr(0, eq) == name)
            return eq == std::string_view::npos ? std::string_view{} : pair.substr(eq + 1);
        if (amp == std::string_view::npos)
            break;
        query.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

// Page numbers other than plain positive decimals mean the first page; huge ones saturate.
int page_number(std::optional<std::string_view> raw) {
    if (!raw || raw->empty())
        return 1;
    long long value = 0;
    for (const char c : *raw) {
        if (c < '0' || c > '9')
            return 1;
        value = std::min<long long>(value * 10 + (c - '0'), INT32_MAX);
    }
    return value < 1 ? 1 : static_cast<int>(value);
}

bool is_host(std::string_view host) {
    return !host.empty() && host.size() <= 255 && std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
               c == ':' || c == '[' || c == ']';
    });
}

SiteResponse ok_page(std::string body) {
    return {200, std::string(html_type), std::move(body), {}};
}

}  // namespace

const std::vector<std::string>& popular_searches() {
    static const std::vector<std::string> words = {
        "debian", "电影", "ubuntu",    "音乐", "linux", "1080p",  "fedora", "电子书",
        "iso",    "古典", "archlinux", "默片", "jazz",  "纪录片", "amd64",  "gutenberg",
    };
    return words;
}

Site::Site(const Catalogue& catalogue, SiteOptions options) : catalogue_(catalogue), options_(std::move(options)) {
    options_.results_per_page = std::max(1, options_.results_per_page);
    const auto& words = popular_searches();
    const size_t count = std::clamp<size_t>(static_cast<size_t>(std::max(0, options_.hot_count)), 0, words.size());
    home_page_ = render_home(std::vector<std::string>(words.begin(), words.begin() + count), catalogue_);
}

std::string Site::base_for(const std::string& host) const {
    return "http://" + (is_host(host) ? host : "127.0.0.1:" + std::to_string(options_.port));
}

SiteResponse Site::handle(const SiteRequest& request) const {
    const std::string_view target = request.target;
    const size_t question = target.find('?');
    const std::string_view path = target.substr(0, question);
    const std::string query(question == std::string_view::npos ? std::string_view{} : target.substr(question + 1));

    SiteResponse response;
    if (path == "/" || path == "/index.html") {
        response = ok_page(home_page_);
    } else if (path == "/search") {
        response = search(query, request.host);
    } else if (path.starts_with("/hash/") && catalogue_.find(path.substr(6))) {
        response = ok_page(render_detail(*catalogue_.find(path.substr(6))));
    } else if (path == "/soft/version.html") {
        response = {200, "text/html", options_.version_date, {}};
    } else if (path == "/soft/update.html") {
        response = ok_page(render_update());
    } else if (path == "/maker/" || path == "/maker") {
        response = ok_page(render_maker_home());
    } else if (path == "/maker/subscribe.html") {
        response = ok_page(render_subscribe());
    } else {
        return {404, std::string(html_type), render_not_found(), {}};
    }
    // Every page is read-only: other methods are refused on known paths rather than served blindly.
    if (request.method != "GET" && request.method != "HEAD")
        return {405, "text/plain", "Method Not Allowed\n", "GET, HEAD"};
    return response;
}

SiteResponse Site::search(const std::string& query, const std::string& host) const {
    const int page = page_number(query_value(query, "p"));
    if (options_.fail_page > 0 && page == options_.fail_page)
        return {500, "text/plain", {}, {}};

    const std::string_view raw = query_value(query, "keyword").value_or(std::string_view{});
    const std::optional<std::string> keyword = percent_decode(raw);
    // Undecodable input is echoed as it came, which is plain ASCII, and matches nothing.
    if (!keyword)
        return ok_page(render_no_results(utf8_sanitize(raw)));

    ResultPage result;
    result.words = keyword_words(*keyword);
    result.matches = catalogue_.search(result.words);
    if (result.matches.empty())
        return ok_page(render_no_results(*keyword));
    result.keyword = *keyword;
    result.page = page;
    result.per_page = options_.results_per_page;
    result.base = base_for(host);
    return ok_page(render_results(catalogue_, result));
}

}  // namespace lunvek::site
