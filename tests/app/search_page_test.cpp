// Reading result pages and the home page without a window: rows, markers and addresses.
#include "app/search_page.h"

#include <gtest/gtest.h>

#include "app/hot_search_worker.h"
#include "text/encoding.h"

namespace lunvek {
namespace {

const std::string base = "http://127.0.0.1:9";

// One result in the site's markup; `name_html` may hold highlight tags.
std::string result_html(const std::string& name_html, const std::string& date, const std::string& size,
                        const std::string& files, const std::string& link) {
    return "<div><h5 class=\"item-name\" data-hash=\"x\">" + name_html + "</h5>\n<span class=\"prop_val\">" + date +
           "</span>\n<span class=\"prop_val\">" + size + "</span>\n<span class=\"prop_val\">" + files +
           "</span>\n<a class=\"detail-link\" href=\"" + link + "\">磁力链接</a></div>\n";
}

TEST(SearchPage, RowsTakeCleanedNamesDetailsAndMagnetLinksInPageOrder) {
    const std::string page = "<script>var searchInfo = {totalPages:3, currentPage:1};</script>\n" +
                             result_html("<span class='highlight'>ab</span>c", "2020-01-02", "1.00 MB", "3",
                                         base + "/hash/00112233445566778899aabbccddeeff00112233") +
                             result_html("<SPAN CLASS='HIGHLIGHT'>电影</SPAN> 合集", "2021-05-06", "2.50 GB", "12",
                                         "http://elsewhere.test/hash/abc") +
                             result_html("file", "-", "10 B", "1", "file:///etc/passwd");
    const auto rows = result_rows(utf8_to_ansi(page), base);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "abc");
    EXPECT_EQ(rows[0].created, "2020-01-02");
    EXPECT_EQ(rows[0].size, "1.00 MB");
    EXPECT_EQ(rows[0].file_count, "3");
    EXPECT_EQ(rows[0].link, "magnet:?xt=urn:btih:00112233445566778899aabbccddeeff00112233");
    // Highlight tags go whatever their case; text stays in code page 936.
    EXPECT_EQ(ansi_to_utf8(rows[1].name), "电影 合集");
    // Links that are not the site's detail links stay as they are (the list never opens them itself).
    EXPECT_EQ(rows[1].link, "http://elsewhere.test/hash/abc");
    EXPECT_EQ(rows[2].link, "file:///etc/passwd");
}

TEST(SearchPage, SurplusNamesGetEmptyDetails) {
    const std::string page =
        result_html("one", "d1", "s1", "1", base + "/hash/aa") + "<div><h5 data-hash=\"y\">two</h5></div>\n";
    const auto rows = result_rows(utf8_to_ansi(page), base);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].name, "two");
    EXPECT_EQ(rows[1].created, "");
    EXPECT_EQ(rows[1].size, "");
    EXPECT_EQ(rows[1].file_count, "");
    EXPECT_EQ(rows[1].link, "");
}

TEST(SearchPage, PageCountAndNoResultsEcho) {
    struct Case {
        std::string page;
        int pages;
        std::string echo;
    };
    const Case cases[] = {
        {"{totalPages:3, currentPage:1}", 3, ""},
        {"{totalPages:25, currentPage:1}", 20, ""},  // never more than 20 pages
        {"{totalPages:20,", 20, ""},
        {"<p>no marker</p>", 0, ""},
        {"<h3>很抱歉，没有找到有关xyz的结果</h3>", 0, "xyz"},
        {"<h3>没有找到有关的结果</h3>{totalPages:1,", 1, ""},  // an empty echo is a result page
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        const Text page = utf8_to_ansi(c.page);
        EXPECT_EQ(result_page_count(page), c.pages) << c.page;
        EXPECT_EQ(ansi_to_utf8(no_results_echo(page)), c.echo) << c.page;
    }
}

TEST(SearchPage, AddressesEncodeEveryByteOfTheKeywordsUtf8Form) {
    EXPECT_EQ(search_address(base, "ab"), base + "/search?keyword=%61%62");
    EXPECT_EQ(search_address(base, "a b", 2), base + "/search?keyword=%61%20%62&p=2");
    EXPECT_EQ(search_address(base, utf8_to_ansi("电影"), 1), base + "/search?keyword=%E7%94%B5%E5%BD%B1&p=1");
    EXPECT_EQ(search_address(base, ""), base + "/search?keyword=");
}

TEST(HotSearchPage, KeywordsComeInPageOrderTrimmedAndWithoutRegardToCase) {
    const std::string page =
        "<a href=\"/search?keyword=one\">1</a><a href=\"/SEARCH?KEYWORD= two \">2</a>"
        "<a href=\"/search?keyword=电影\">3</a>";
    const TextArray keywords = hot_keywords_of(utf8_to_ansi(page));
    ASSERT_EQ(keywords.size(), 3u);
    EXPECT_EQ(keywords[0], "one");
    EXPECT_EQ(keywords[1], "two");
    EXPECT_EQ(ansi_to_utf8(keywords[2]), "电影");
    EXPECT_TRUE(hot_keywords_of("").empty());
}

}  // namespace
}  // namespace lunvek
