// Strict keyword decoding and the word matching that search and highlighting share.
#include <gtest/gtest.h>

#include <random>

#include "site/keyword.h"

namespace lunvek::site {
namespace {

TEST(PercentDecode, DecodesWellFormedValues) {
    const struct {
        const char* raw;
        const char* decoded;
    } cases[] = {
        {"%64%65%62%69%61%6E", "debian"},
        {"%E4%B8%AD%E6%96%87", "中文"},
        {"%e4%b8%ad", "中"},
        {"linux+iso", "linux iso"},
        {"a%20b", "a b"},
        {"%E3%80%80", "\u3000"},
        {"", ""},
        {"%F0%9F%8E%B5", "\U0001F3B5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(percent_decode(c.raw), std::optional<std::string>(c.decoded)) << c.raw;
}

TEST(PercentDecode, RejectsBadEscapesAndMalformedUtf8) {
    const char* cases[] = {
        "%",
        "%4",
        "%GG",
        "abc%",
        "%4G",
        "%FF",
        "%C3%28",
        "%C0%AF",        // overlong '/'
        "%ED%A0%80",     // UTF-16 surrogate
        "%F4%90%80%80",  // beyond U+10FFFF
        "%E4%B8",        // truncated
        "%00",           // a zero byte cannot live in a text
        "\xff",          // raw byte, not escaped, still malformed
    };
    for (const char* raw : cases)
        EXPECT_FALSE(percent_decode(raw).has_value()) << raw;
}

TEST(PercentDecode, RandomInputNeverYieldsMalformedText) {
    std::mt19937 random(7);
    const std::string alphabet = "%0123456789ABCDEFGabcdefg+ \xe4\xb8\xad\xff\x80";
    for (int round = 0; round < 20000; ++round) {
        std::string raw;
        const int length = static_cast<int>(random() % 12);
        for (int i = 0; i < length; ++i)
            raw.push_back(alphabet[random() % alphabet.size()]);
        if (const auto decoded = percent_decode(raw)) {
            EXPECT_TRUE(utf8_decode(*decoded).has_value()) << raw;
            EXPECT_EQ(decoded->find('\0'), std::string::npos) << raw;
        }
    }
}

TEST(KeywordWords, SplitsAtBothSpacesFoldsCaseAndDropsRepeats) {
    const auto words = keyword_words("  Debian\u3000ISO  debian 电影\u3000\u3000ÄRGER ");
    const std::vector<std::u32string> expected = {U"debian", U"iso", U"电影", U"ärger"};
    EXPECT_EQ(words, expected);
    EXPECT_TRUE(keyword_words(" \u3000 ").empty());
    EXPECT_TRUE(keyword_words("\xff").empty());
}

TEST(Utf8Sanitize, ReplacesEveryMalformedByteAndKeepsTheRest) {
    EXPECT_EQ(utf8_sanitize("ok\xff\xe4\xb8\xad\xe4\xb8"), "ok\uFFFD中\uFFFD\uFFFD");
    EXPECT_EQ(utf8_sanitize(std::string("a\0b", 3)), "ab");
}

}  // namespace
}  // namespace lunvek::site
