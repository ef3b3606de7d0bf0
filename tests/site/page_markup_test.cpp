// Pages as the desktop tool reads them: converted to code page 936 and cut apart with the text layer's own
// routines. The walker below checks the markup the tool's two expressions rely on, not an expression engine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "site/catalogue.h"
#include "site/keyword.h"
#include "site/pages.h"
#include "site/site.h"
#include "text/encoding.h"
#include "text/extract.h"
#include "text/text.h"

namespace lunvek::site {
namespace {

// Texts of the text layer are code page 936; this source file is UTF-8.
Text cp(const char* utf8) {
    return utf8_to_ansi(utf8);
}
const Text quote = cp("#引号");  // how text_between callers write a double quote
const Text no_results_left = cp("没有找到有关"), no_results_right = cp("的结果");

struct ParsedResult {
    Text raw_name, hash, date, size, files, link;
};

Text as_page(const std::string& utf8_body) {
    return utf8_to_ansi(bytes_to_text(utf8_body));
}

int count_of(const Text& page, const Text& what) {
    int count = 0;
    for (int at = find_text(page, what); at > 0; at = find_text(page, what, at + text_length(what)))
        ++count;
    return count;
}

int line_end(const Text& page, int from) {
    const int at = find_text(page, "\n", from);
    return at < 0 ? text_length(page) + 1 : at;
}

// Walks the results the way the two expressions pair them up, and fails on any markup they would misread.
std::vector<ParsedResult> read_results(const Text& page) {
    std::vector<ParsedResult> results;
    int pos = 1;
    for (int tag = find_text(page, "data-hash=", pos); tag > 0; tag = find_text(page, "data-hash=", pos)) {
        ParsedResult r;
        const int eol = line_end(page, tag);
        const int gt = find_text(page, ">", tag);
        const int h5 = find_text(page, "</h5>", gt);
        EXPECT_TRUE(gt > 0 && gt < eol && h5 > 0 && h5 < eol) << "name markup broken at byte " << tag;
        if (!(gt > 0 && h5 > 0))
            break;
        r.raw_name = text_mid(page, gt + 1, h5 - gt - 1);
        r.hash = text_between(page, "data-hash=" + quote, quote, tag);
        const int next_tag = find_text(page, "data-hash=", h5);
        int at = h5;
        Text* values[] = {&r.date, &r.size, &r.files};
        for (Text* value : values) {
            const int prop = find_text(page, "prop_val\">", at);
            const int close = prop > 0 ? find_text(page, "</span>", prop) : -1;
            EXPECT_TRUE(prop > 0 && (next_tag < 0 || prop < next_tag)) << "missing prop_val after " << r.hash;
            EXPECT_TRUE(close > 0 && close < line_end(page, prop)) << "prop_val not closed on its line";
            if (prop < 0 || close < 0)
                return results;
            *value = text_mid(page, prop + 10, close - prop - 10);
            at = close;
        }
        const int href = find_text(page, "href=\"", at);
        EXPECT_EQ(find_text(page, "href=", h5), href) << "another href stands between the name and the detail link";
        EXPECT_TRUE(href > 0 && (next_tag < 0 || href < next_tag)) << "detail link missing for " << r.hash;
        const int end = href > 0 ? find_text(page, "\">", href + 6) : -1;
        EXPECT_TRUE(end > 0 && end < line_end(page, href));
        if (end < 0)
            return results;
        r.link = text_mid(page, href + 6, end - href - 6);
        results.push_back(r);
        pos = end;
    }
    // Nothing outside the results may feed either expression an extra match.
    EXPECT_EQ(count_of(page, "data-hash="), static_cast<int>(results.size()));
    EXPECT_EQ(count_of(page, "prop_val\">"), 3 * static_cast<int>(results.size()));
    return results;
}

Text clean_name(const Text& raw) {
    const Text open = "<span class='highlight'>";
    return replace_pairs(raw, open, "", "</span>", "", open, "", "</span>", "", open, "");
}

class Pages : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        bundled_ = new Catalogue;
        ASSERT_GT(bundled_->load_file(LUNVEK_SITE_CATALOGUE_FILE), 0);
    }
    static void TearDownTestSuite() { delete bundled_; }

    static SiteResponse get(const Site& site, const std::string& target, const std::string& host = "127.0.0.1:18936",
                            const std::string& method = "GET") {
        return site.handle({method, target, host});
    }
    static Catalogue* bundled_;
};
Catalogue* Pages::bundled_ = nullptr;

TEST_F(Pages, BundledCatalogueLoadsEveryEntryAndCommonWordsSpanSeveralPages) {
    std::ifstream in(LUNVEK_SITE_CATALOGUE_FILE);
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        lines += !line.empty() && line[0] != '#';
    EXPECT_EQ(static_cast<int>(bundled_->size()), lines);
    EXPECT_GE(lines, 300);
    for (const char* word : {"linux", "debian", "ubuntu", "电影", "音乐", "1080p", "iso"})
        EXPECT_GT(bundled_->search(keyword_words(word)).size(), 20u) << word;
}

TEST_F(Pages, EveryResultPageCarriesEachResultsMarkupInCatalogueOrder) {
    const Site site(*bundled_, {});
    for (const char* keyword : {"debian", "iso", "电影", "音乐", "1080p", "Linux AMD64"}) {
        SCOPED_TRACE(keyword);
        const auto expected = bundled_->search(keyword_words(keyword));
        const int pages = static_cast<int>((expected.size() + 19) / 20);
        const std::string encoded = url_encode(utf8_to_ansi(keyword), false, true);
        std::vector<std::string> served;
        for (int p = 1; p <= pages; ++p) {
            const Text page = as_page(get(site, "/search?keyword=" + encoded + "&p=" + std::to_string(p)).body);
            EXPECT_EQ(to_int(text_between(page, "totalPages:", ",")), pages);
            EXPECT_EQ(text_between(page, no_results_left, no_results_right), "");
            const auto results = read_results(page);
            EXPECT_EQ(results.size(), p < pages ? 20u : expected.size() - 20u * (pages - 1));
            for (const auto& r : results) {
                const Entry* entry = bundled_->find(r.hash);
                ASSERT_NE(entry, nullptr) << r.hash;
                EXPECT_EQ(clean_name(r.raw_name), utf8_to_ansi(entry->name));
                EXPECT_EQ(r.date, entry->date);
                EXPECT_EQ(r.size, format_size(entry->size));
                EXPECT_EQ(r.files, std::to_string(entry->file_count));
                EXPECT_EQ(replace_pairs(r.link, "http://127.0.0.1:18936/hash/", "magnet:?xt=urn:btih:"),
                          "magnet:?xt=urn:btih:" + entry->hash);
                served.push_back(r.hash);
            }
        }
        std::vector<std::string> wanted;
        for (size_t index : expected)
            wanted.push_back(bundled_->at(index).hash);
        EXPECT_EQ(served, wanted);
    }
}

TEST_F(Pages, FirstPageWithoutNumberAndPagesBeyondTheLast) {
    const Site site(*bundled_, {});
    const Text first = as_page(get(site, "/search?keyword=%64%65%62%69%61%6E").body);
    const Text numbered = as_page(get(site, "/search?keyword=%64%65%62%69%61%6E&p=1").body);
    EXPECT_EQ(read_results(first).size(), 20u);
    EXPECT_EQ(first, numbered);
    for (const char* p : {"4", "99", "99999999999999999999"}) {
        const Text beyond = as_page(get(site, std::string("/search?keyword=debian&p=") + p).body);
        EXPECT_EQ(to_int(text_between(beyond, "totalPages:", ",")), 3) << p;
        EXPECT_TRUE(read_results(beyond).empty()) << p;
        EXPECT_EQ(text_between(beyond, no_results_left, no_results_right), "") << p;
    }
    // Page numbers that are not positive decimals mean the first page.
    for (const char* p : {"0", "-2", "abc", ""})
        EXPECT_EQ(as_page(get(site, std::string("/search?keyword=debian&p=") + p).body), numbered) << p;
}

TEST_F(Pages, HighlightsEveryHitOfEveryWordWithoutRegardToCase) {
    Catalogue catalogue;
    const std::pair<const char*, const char*> names[] = {
        {"Debian-Live debian.iso", "1111111111111111111111111111111111111111"},
        {"大都会 Metropolis 1927 默片 电影 经典电影", "2222222222222222222222222222222222222222"},
        {"ÄRGER und ärger", "3333333333333333333333333333333333333333"},
        {"Tom <b> & \"Jerry\" cartoon", "4444444444444444444444444444444444444444"},
    };
    for (const auto& [name, hash] : names)
        ASSERT_TRUE(catalogue.add({name, "2014-05-06", 1471026299, 3, hash}));
    const Site site(catalogue, {});
    const std::string open = "<span class='highlight'>", close = "</span>";
    const struct {
        const char* keyword;  // as the tool sends it: every byte encoded
        std::string name_markup;
    } cases[] = {
        {"DEBIAN live", open + "Debian" + close + "-" + open + "Live" + close + " " + open + "debian" + close + ".iso"},
        {"deb debian", open + "Debian" + close + "-Live " + open + "debian" + close + ".iso"},
        {"电影 METROPOLIS", "大都会 " + open + "Metropolis" + close + " 1927 默片 " + open + "电影" + close + " 经典" +
                                open + "电影" + close},
        {"ärger", open + "ÄRGER" + close + " und " + open + "ärger" + close},
        {"jerry", "Tom &lt;b&gt; &amp; \"" + open + "Jerry" + close + "\" cartoon"},
    };
    for (const auto& c : cases) {
        const std::string encoded = percent_encode(c.keyword);
        const std::string body = get(site, "/search?keyword=" + encoded).body;
        EXPECT_NE(body.find("\">" + c.name_markup + "</h5>"), std::string::npos) << c.keyword << "\n" << body;
        const auto results = read_results(as_page(body));
        EXPECT_EQ(results.size(), 1u) << c.keyword;
        if (!results.empty()) {
            EXPECT_EQ(results[0].size, "1.37 GB");
            EXPECT_EQ(results[0].date, "2014-05-06");
        }
    }
}

TEST_F(Pages, NoResultsPageEchoesTheKeywordBetweenTheMarkers) {
    const Site site(*bundled_, {});
    const struct {
        const char* raw;
        const char* echo;  // UTF-8
    } cases[] = {
        {"%E6%B2%A1%E6%9C%89%E8%BF%99%E4%B8%AA", "没有这个"},
        {"debian%20zzzqqq", "debian zzzqqq"},
        {"%3Cb%3E%22x%22%26", "&lt;b&gt;\"x\"&amp;"},
        {"%", "%"},
        {"%4", "%4"},
        {"%GG", "%GG"},
        {"%FF%FE", "%FF%FE"},
        {"%C3%28", "%C3%28"},
        {"%00debian", "%00debian"},
    };
    for (const auto& c : cases) {
        const Text page = as_page(get(site, std::string("/search?keyword=") + c.raw).body);
        EXPECT_EQ(text_between(page, no_results_left, no_results_right), utf8_to_ansi(c.echo)) << c.raw;
        EXPECT_EQ(find_text(page, "totalPages:"), -1) << c.raw;
        EXPECT_TRUE(read_results(page).empty()) << c.raw;
    }
}

TEST_F(Pages, HomePageOffersTheAskedNumberOfSearchesAndEachFindsResults) {
    for (const int hot_count : {0, 4, 5, 8, 16, 40}) {
        SiteOptions options;
        options.hot_count = hot_count;
        const Site site(*bundled_, options);
        const Text home = as_page(get(site, "/").body);
        TextArray words;
        const int found = all_texts_between(home, "/search?keyword=", "\">", words);
        const int expected = std::min<int>(hot_count, static_cast<int>(popular_searches().size()));
        EXPECT_EQ(found, expected) << hot_count;
        for (int k = 0; k < found; ++k) {
            EXPECT_EQ(words[k], utf8_to_ansi(popular_searches()[k]));
            // The tool puts the word into its box and searches it exactly like this.
            const Text page = as_page(get(site, "/search?keyword=" + url_encode(words[k], false, true)).body);
            EXPECT_EQ(text_between(page, no_results_left, no_results_right), "") << words[k];
            EXPECT_GE(to_int(text_between(page, "totalPages:", ",")), 1) << words[k];
        }
    }
}

TEST_F(Pages, NamesOnTheHomePageNeverReadAsPopularSearches) {
    Catalogue catalogue;
    ASSERT_TRUE(catalogue.add({"trap /search?keyword=evil\">x", "2014-05-06", 1, 1, std::string(40, 'a')}));
    SiteOptions options;
    options.hot_count = 5;
    const Text home = as_page(Site(catalogue, options).handle({"GET", "/", ""}).body);
    TextArray words;
    ASSERT_EQ(all_texts_between(home, "/search?keyword=", "\">", words), 5);
    EXPECT_EQ(words.back(), utf8_to_ansi(popular_searches()[4]));
}

TEST_F(Pages, DetailLinksUseTheHostTheClientAskedFor) {
    SiteOptions options;
    options.port = 4242;
    const Site site(*bundled_, options);
    const struct {
        std::string host, base;
    } cases[] = {
        {"127.0.0.1:18936", "http://127.0.0.1:18936"},
        {"localhost:5000", "http://localhost:5000"},
        {"", "http://127.0.0.1:4242"},
        {"evil\"><a href=\"x", "http://127.0.0.1:4242"},
    };
    for (const auto& c : cases) {
        const auto results = read_results(as_page(get(site, "/search?keyword=fedora", c.host).body));
        ASSERT_FALSE(results.empty());
        for (const auto& r : results)
            EXPECT_EQ(r.link, c.base + "/hash/" + r.hash) << c.host;
    }
}

TEST_F(Pages, FixedPagesMethodsAndUnknownPaths) {
    SiteOptions options;
    options.version_date = "20991231";
    const Site site(*bundled_, options);
    const std::string hash = bundled_->at(0).hash;
    std::string upper = hash;
    for (char& ch : upper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const struct {
        std::string method, target;
        int status;
        std::string must_hold;
    } cases[] = {
        {"GET", "/", 200, "今日热门搜索"},
        {"HEAD", "/", 200, "</html>"},
        {"GET", "/soft/update.html", 200, "</html>"},
        {"GET", "/maker/", 200, "</html>"},
        {"GET", "/maker/subscribe.html", 200, "</html>"},
        {"GET", "/hash/" + hash, 200, "href=\"magnet:?xt=urn:btih:" + hash + "\""},
        {"GET", "/hash/" + upper, 200, "magnet:?xt=urn:btih:" + hash},
        {"GET", "/hash/0000000000000000000000000000000000000000", 404, "404"},
        {"GET", "/hash/xyz", 404, "404"},
        {"GET", "/search/../soft/version.html", 404, "404"},
        {"GET", "/nope", 404, "404"},
        {"POST", "/", 405, "Method Not Allowed"},
        {"POST", "/search?keyword=debian", 405, "Method Not Allowed"},
        {"DELETE", "/soft/version.html", 405, "Method Not Allowed"},
        {"POST", "/nope", 404, "404"},
    };
    for (const auto& c : cases) {
        const SiteResponse response = get(site, c.target, "127.0.0.1:18936", c.method);
        EXPECT_EQ(response.status, c.status) << c.method << " " << c.target;
        EXPECT_NE(response.body.find(c.must_hold), std::string::npos) << c.method << " " << c.target;
        EXPECT_EQ(response.allow, c.status == 405 ? "GET, HEAD" : "") << c.target;
    }
    const SiteResponse version = get(site, "/soft/version.html");
    EXPECT_EQ(version.body, "20991231");
    EXPECT_EQ(version.content_type, "text/html");
}

TEST_F(Pages, FailPageAnswersOnlyThatPageAndCountsTheUnnumberedFirstAsOne) {
    const struct {
        int fail_page;
        std::string target;
        int status;
    } cases[] = {
        {2, "/search?keyword=debian&p=2", 500}, {2, "/search?keyword=debian&p=1", 200},
        {2, "/search?keyword=debian", 200},     {1, "/search?keyword=debian", 500},
        {1, "/search?keyword=zzzqqq", 500},     {3, "/", 200},
    };
    for (const auto& c : cases) {
        SiteOptions options;
        options.fail_page = c.fail_page;
        const SiteResponse response = get(Site(*bundled_, options), c.target);
        EXPECT_EQ(response.status, c.status) << c.fail_page << " " << c.target;
        if (c.status == 500) {
            EXPECT_EQ(response.body, "");
        }
    }
}

TEST_F(Pages, CatalogueFileSkipsMalformedLines) {
    const auto path = std::filesystem::temp_directory_path() / ("site_catalogue_" + std::to_string(getpid()));
    {
        std::ofstream out(path);
        out << "# comment\n"
            << "good one\t2014-05-06\t100\t1\taaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\n"
            << "bad date\t2014-5-6\t100\t1\tbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb\n"
            << "bad size\t2014-05-06\t-1\t1\tcccccccccccccccccccccccccccccccccccccccc\n"
            << "zero files\t2014-05-06\t1\t0\tdddddddddddddddddddddddddddddddddddddddd\n"
            << "short hash\t2014-05-06\t1\t1\tabc\n"
            << "too few fields\t2014-05-06\t1\n"
            << "duplicate\t2014-05-06\t100\t1\tAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA\n"
            << "\t2014-05-06\t1\t1\teeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee\n"
            << "second good\t2015-01-17\t18446744073709551615\t7\tffffffffffffffffffffffffffffffffffffffff\r\n";
    }
    Catalogue catalogue;
    EXPECT_EQ(catalogue.load_file(path.string()), 2);
    ASSERT_EQ(catalogue.size(), 2u);
    EXPECT_EQ(catalogue.at(0).name, "good one");
    EXPECT_EQ(catalogue.at(1).size, 18446744073709551615ull);
    EXPECT_EQ(catalogue.at(1).file_count, 7u);
    EXPECT_EQ(catalogue.load_file("/nonexistent/catalogue.txt"), -1);
    std::filesystem::remove(path);
}

TEST(FormatSize, BinaryMultiplesWithTwoDecimals) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 B"},
        {1023, "1023 B"},
        {1024, "1.00 KB"},
        {1471026299, "1.37 GB"},
        {5u << 20, "5.00 MB"},
        {1ull << 40, "1.00 TB"},
        {UINT64_MAX, "16.00 EB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(format_size(bytes), text) << bytes;
}

}  // namespace
}  // namespace lunvek::site
