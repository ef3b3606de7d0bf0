// Input meant to hurt: runaway patterns, huge subjects, bytes that are no characters. Each ends quietly.
#include <gtest/gtest.h>

#include <random>

#include "fixtures.h"
#include "regex/engine_units.h"
#include "regex/regex_object.h"
#include "text/encoding.h"

namespace lunvek {
namespace {

using regex_test::cp936;

TEST(HostileInput, RunawayBacktrackingStopsAtTheWorkLimit) {
    struct Case {
        const char* pattern;
        Text subject;
    };
    const Case cases[] = {
        {"(a+)+b", std::string(40, 'a')},
        {"(a|aa)*c", std::string(5000, 'a')},
        {"(.*a){12}c", std::string(3000, 'a')},
        {"^(\\w+\\s?)*$", std::string(5000, 'x') + "!"},
    };
    for (const Case& c : cases) {
        RegexObject re;
        EXPECT_TRUE(re.create(c.pattern, c.subject)) << c.pattern;
        EXPECT_EQ(re.match_count(), 0) << c.pattern;
    }
}

TEST(HostileInput, MatchesBeforeTheLimitAreKept) {
    // Three good rows, then a stretch where every start position retries to the end of the line.
    const Text subject = "<h5>one</h5>\n<h5>two</h5>\n<h5>three</h5>\n" + std::string(200000, '<') + "h5";
    RegexObject re;
    ASSERT_TRUE(re.create("(<+)h5>(.*?)(<+)/h5>", subject));
    ASSERT_EQ(re.match_count(), 3);
    EXPECT_EQ(re.submatch_text(3, 2), "three");
}

// A 5 MB page on one line: thousands of result tags and no "</h5>", so the name expression would scan the
// rest of the line from each of them.
TEST(HostileInput, OneLinePageWithoutNameEndsFindsNothing) {
    Text page;
    const Text item =
        cp936("<div class=\"search-item\" data-hash=\"0123456789abcdef\">名称 <span class='highlight'>电影</span> ");
    while (page.size() < 5'000'000)
        page += item;
    RegexObject names;
    ASSERT_TRUE(names.create(regex_test::name_expression, page));
    EXPECT_EQ(names.match_count(), 0);
    RegexObject details;
    ASSERT_TRUE(details.create(regex_test::detail_expression, page));
    EXPECT_EQ(details.match_count(), 0);
}

TEST(HostileInput, FiftyMegabyteSubject) {
    const Text row = cp936("<p>一行文字 line of text</p>\r\n");
    Text subject;
    subject.reserve(50'000'000 + 64);
    int rows_written = 0;
    for (; subject.size() < 50'000'000; ++rows_written)
        subject += row;
    subject += cp936("prop_val\">日期</span>prop_val\">1 GB</span>prop_val\">3</span> href=\"x\">");

    RegexObject details;
    ASSERT_TRUE(details.create(regex_test::detail_expression, subject));
    ASSERT_EQ(details.match_count(), 1);
    EXPECT_EQ(details.submatch_text(1, 1), cp936("日期"));
    EXPECT_EQ(details.submatch_text(1, 4), "x");

    RegexObject lines;  // a million matches, one per line, and the last one's place
    ASSERT_TRUE(lines.create("^<p>(.*)</p>\\r$", subject));
    ASSERT_EQ(lines.match_count(), rows_written);
    int position = 0;
    EXPECT_EQ(lines.submatch_text(rows_written, 1, &position), cp936("一行文字 line of text"));
    EXPECT_EQ(static_cast<std::size_t>(position), (rows_written - 1) * row.size() + 3);

    // Backtracking state that grows with the subject: the whole subject or nothing, never a crash.
    RegexObject deep;
    ASSERT_TRUE(deep.create("^(?:(a)|[\\s\\S])*$", subject, {}, false));
    ASSERT_LE(deep.match_count(), 1);
    if (deep.match_count() == 1) {
        EXPECT_EQ(deep.match_text(1).size(), subject.size());
    }
}

TEST(HostileInput, ZeroBytesAreOrdinaryCharacters) {
    const Text subject("a\0b\0\0c", 6);
    RegexObject re;
    ASSERT_TRUE(re.create("b.", subject));
    ASSERT_EQ(re.match_count(), 1);
    EXPECT_EQ(re.match_text(1), Text("b\0", 2));
    ASSERT_TRUE(re.create("\\0+", subject));
    EXPECT_EQ(re.match_count(), 2);
    int position = 0;
    EXPECT_EQ(re.match_text(2, &position), Text("\0\0", 2));
    EXPECT_EQ(position, 3);
    ASSERT_TRUE(re.create(Text("a\0", 2), subject));
    EXPECT_EQ(re.match_count(), 1);
}

TEST(HostileInput, BytesThatAreNoCharacters) {
    // A lead byte without its trail (before a byte that cannot trail, and at the end), 0x80 and 0xFF alone.
    const Text subject = "\x81<" + cp936("中") + "\x80\xFF" + "b\xFE";
    RegexObject re;
    ASSERT_TRUE(re.create(".", subject));
    EXPECT_EQ(re.match_count(), 7);
    EXPECT_EQ(re.match_text(1), "?");  // the substitution character, back in the code page
    EXPECT_EQ(re.match_text(2), "<");
    EXPECT_EQ(re.match_text(3), cp936("中"));
    EXPECT_EQ(re.match_text(4), "\x80");  // the euro sign
    int position = 0;
    EXPECT_EQ(re.match_text(6, &position), "b");
    EXPECT_EQ(position, 6);
    ASSERT_TRUE(re.create("<.*b", subject));
    EXPECT_EQ(re.match_count(), 1);
    EXPECT_EQ(re.match_text(1), "<" + cp936("中") + "\x80\xFF" + "b");
}

TEST(HostileInput, CharactersOutsideTheCodePage) {
    // Through escapes a pattern can name characters code page 936 lacks; they match nothing of a subject,
    // and as case partners they drag in no ASCII letter.
    RegexObject re;
    ASSERT_TRUE(re.create("\\u212A|\\u017F|\\u2126", cp936("k K s S ω Ω")));
    EXPECT_EQ(re.match_count(), 0);
    ASSERT_TRUE(re.create("[\\u0100-\\uffff]", "kKsS"));
    EXPECT_EQ(re.match_count(), 0);
    ASSERT_TRUE(re.create(cp936("[\\W中]+"), "ks"));
    EXPECT_EQ(re.match_count(), 0);
    ASSERT_TRUE(re.create("[^\\u212A]", "k"));
    EXPECT_EQ(re.match_count(), 1);
    // A lone lead byte reaches the engine as the substitution character and comes back as '?'.
    ASSERT_TRUE(re.create(".", "a\x81"));
    EXPECT_EQ(re.match_text(2), "?");
    EXPECT_EQ(re.replace("[$&]"), "[a][?]");
}

TEST(HostileInput, CharacterLengthRuleAgreesWithTheConverter) {
    // Positions rely on each UTF-16 unit coming from one character of the bytes; random bytes check it.
    std::mt19937 random(936);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 300; ++round) {
        Text subject;
        for (int k = 0; k < 40; ++k)
            subject += static_cast<char>(k % 7 == 6 ? 'z' : byte(random));
        RegexObject re;
        ASSERT_TRUE(re.create("z", subject, true));
        for (int n = 1; n <= re.match_count(); ++n) {
            int position = 0;
            re.match_text(n, &position);
            ASSERT_GE(position, 0);
            EXPECT_EQ(subject[position], 'z');
            // the unit count before the match equals what the converter makes of the bytes before it
            EXPECT_EQ(static_cast<std::size_t>(re.first_index(n)),
                      cp936_to_utf16(std::string_view(subject).substr(0, position)).size());
        }
    }
}

}  // namespace
}  // namespace lunvek

namespace lunvek {
namespace {

TEST(HostileInput, EngineUnitsEqualTheConverter) {
    // The engine's fast decoding must give exactly the text layer's units, on pages and on random bytes
    // heavy with lead bytes, lone ones and bytes that cannot trail.
    for (const char* page : {"page_20.html", "page_20_crlf.html"}) {
        const Text text = regex_test::load_page(page);
        EXPECT_EQ(regex_detail::to_engine_units(text), cp936_to_utf16(text)) << page;
    }
    std::mt19937 random(20150117);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 64);
    for (int round = 0; round < 3000; ++round) {
        Text bytes;
        for (int k = length(random); k > 0; --k)
            bytes += static_cast<char>(round % 3 == 0 ? byte(random) : (byte(random) | 0x80) ^ (k % 5 == 0 ? 0xC0 : 0));
        ASSERT_EQ(regex_detail::to_engine_units(bytes), cp936_to_utf16(bytes)) << round;
    }
}

}  // namespace
}  // namespace lunvek
