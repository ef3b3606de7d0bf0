#include "pages.h"

#include <map>
#include <mutex>

#include "text/encoding.h"

namespace lunvek::bench {

namespace {

Text build_page(std::size_t size) {
    // Rows cycle through a few shapes so that markers and Chinese names are spread over the whole page.
    static const char* const rows[] = {
        "<tr class=\"row\"><td>1</td><td><a href=\"/detail/8f3a2c\">\xE7\x94\xB5\xE5\xBD\xB1 "
        "\xE5\x90\x88\xE9\x9B\x86 1080p BluRay</a></td><td>2015-01-17</td><td>1.4 GB</td><td>12</td></tr>\r\n",
        "<p class=\"hot\">\xE7\x83\xAD\xE9\x97\xA8\xE6\x90\x9C\xE7\xB4\xA2\xEF\xBC\x9A\xE5\x85\xB3\xE9\x94\xAE"
        "\xE8\xAF\x8D\xEF\xBC\x8C\xE8\xB5\x84\xE6\xBA\x90\xE4\xB8\x8B\xE8\xBD\xBD</p>\r\n",
        "<tr class=\"row\"><td>2</td><td><a href=\"/detail/77e01b\">Ubuntu 14.10 Desktop amd64 ISO</a></td>"
        "<td>2014-10-23</td><td>1.1 GB</td><td>1</td></tr>\r\n",
        "<div class=\"info\">\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xA7\xE5\xB0\x8F\xEF\xBC\x9A 700 MB \xE3\x80\x80"
        "\xE6\x96\x87\xE4\xBB\xB6\xE6\x95\xB0\xEF\xBC\x9A 3</div>\r\n",
    };
    Text page = "<html><head><meta charset=\"utf-8\"><title>search</title></head><body><table>\r\n";
    for (std::size_t i = 0; page.size() < size; ++i)
        page += rows[i % 4];
    page += "</table></body></html>\r\n";
    return page;
}

std::mutex pages_mutex;

}  // namespace

const Text& page_utf8(std::size_t size) {
    static std::map<std::size_t, Text> pages;
    std::lock_guard lock(pages_mutex);
    auto [it, added] = pages.try_emplace(size);
    if (added)
        it->second = build_page(size);
    return it->second;
}

const Text& page_cp936(std::size_t size) {
    static std::map<std::size_t, Text> pages;
    const Text& utf8 = page_utf8(size);
    std::lock_guard lock(pages_mutex);
    auto [it, added] = pages.try_emplace(size);
    if (added)
        it->second = utf8_to_ansi(utf8);
    return it->second;
}

}  // namespace lunvek::bench
