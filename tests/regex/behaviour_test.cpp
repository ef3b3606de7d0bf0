// RegexObject's behaviour as the search worker and other callers see it: options, groups, positions, copies.
#include <gtest/gtest.h>

#include "fixtures.h"
#include "regex/regex_object.h"

namespace lunvek {
namespace {

using regex_test::cp936;

struct MatchCase {
    const char* pattern;
    const char* subject;  // UTF-8 in the source, code page 936 when run
    std::vector<const char*> matches;
    bool case_sensitive = false;
    bool multiline = true;
    bool global = true;
};

class MatchTable : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchTable, FindsExactlyTheseMatches) {
    const MatchCase& c = GetParam();
    RegexObject re;
    ASSERT_TRUE(re.create(cp936(c.pattern), cp936(c.subject), c.case_sensitive, c.multiline, c.global));
    std::vector<Text> found;
    for (int n = 1; n <= re.match_count(); ++n)
        found.push_back(re.match_text(n));
    std::vector<Text> expected;
    for (const char* m : c.matches)
        expected.push_back(cp936(m));
    EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Semantics, MatchTable,
    testing::Values(
        // defaults: case ignored, multiline, global
        MatchCase{"ab", "AB ab aB", {"AB", "ab", "aB"}}, MatchCase{"ab", "AB ab aB", {"ab"}, true},
        MatchCase{"^x$", "x\nx\r\nx", {"x", "x", "x"}}, MatchCase{"^x$", "x\nx", {}, false, false},
        MatchCase{"^x", "x\nx", {"x"}, false, false}, MatchCase{"x$", "x\nx\n", {"x", "x"}},
        MatchCase{"x$", "x\n", {}, false, false},  // without multiline "$" is the very end only
        MatchCase{"a", "aaa", {"a"}, false, true, false},
        // "." stops at the line feed only; "[\s\S]" crosses it; "Singleline" has no effect
        MatchCase{"a.b", "a\nb a\rb a\tb", {"a\rb", "a\tb"}}, MatchCase{"a[\\s\\S]b", "a\nb", {"a\nb"}},
        MatchCase{"中.文", "中\n文 中字文", {"中字文"}},
        MatchCase{".", "中a", {"中", "a"}},  // a double-byte character is one character
        // lazy and greedy repetition
        MatchCase{"<.*?>", "<a><b>", {"<a>", "<b>"}}, MatchCase{"<.*>", "<a><b>", {"<a><b>"}},
        // empty matches move on by one character, double-byte ones included
        MatchCase{"x*", "中x", {"", "x", ""}}, MatchCase{"", "ab", {"", "", ""}},
        MatchCase{"$", "a\r\nb", {"", "", ""}},
        // case folding beyond ASCII where the character has case; never onto ASCII
        MatchCase{"ｆｕｌｌ", "ＦＵＬＬ Full", {"ＦＵＬＬ"}}, MatchCase{"α", "Α α", {"Α", "α"}},
        MatchCase{"[а-я]+", "ПРИВЕТ", {"ПРИВЕТ"}}, MatchCase{"k", "K k", {"K", "k"}},
        // \s, \w, \d, \b are ASCII-only; the full-width space is not white space
        MatchCase{"\\s+", "a \t\r\n　b", {" \t\r\n"}}, MatchCase{"\\w+", "ab中12_", {"ab", "12_"}},
        MatchCase{"\\bab\\b", "ab 中ab xab", {"ab", "ab"}},
        // escapes of the scripting syntax
        MatchCase{"\\x41\\u0042", "AB", {"AB"}}, MatchCase{"\\u4e2d", "中", {"中"}}, MatchCase{"\\cJ", "\n", {"\n"}},
        MatchCase{"a{,2}", "a{,2}", {"a{,2}"}},  // no quantifier: a literal brace
        MatchCase{"[]a", "a", {}}, MatchCase{"[^]", "\n", {"\n"}},
        MatchCase{"\\Q\\A", "QA", {"QA"}},                   // unknown escapes stand for their letter
        MatchCase{"[[:alpha:]]", "a:", {}},                  // no POSIX classes: '[' ':' 'a' ... then a ']'
        MatchCase{"(a)\\1|b\\2(c)", "aa bc", {"aa", "bc"}},  // an unset group matches the empty text
        MatchCase{"\\101", "A", {"A"}}));

TEST(RegexObject, GroupsAreNumberedByOpeningParenthesisAndUnsetGroupsAreEmpty) {
    RegexObject re;
    ASSERT_TRUE(re.create("((a)(x)?)(b)", "ab"));
    ASSERT_EQ(re.match_count(), 1);
    EXPECT_EQ(re.submatch_count(), 4);
    EXPECT_EQ(re.submatch_text(1, 1), "a");
    EXPECT_EQ(re.submatch_text(1, 2), "a");
    EXPECT_EQ(re.submatch_text(1, 3), "");
    EXPECT_EQ(re.submatch_text(1, 4), "b");
    EXPECT_EQ(re.submatch_text(1, 5), "");
    EXPECT_EQ(re.submatch_text(2, 1), "");
    EXPECT_EQ(re.submatch_text(0, 1), "");

    ASSERT_TRUE(re.create("(a)(b)", "zz"));
    EXPECT_EQ(re.submatch_count(), 0);
    ASSERT_TRUE(re.create("(a)(b)", "ab"));
    EXPECT_EQ(re.submatch_count(), 2);
}

struct PositionCase {
    const char* pattern;
    const char* subject;
    int match;
    int group;  // 0: match_text
    const char* text;
    int position;
};

class PositionTable : public testing::TestWithParam<PositionCase> {};

TEST_P(PositionTable, SearchesTheTextFromTheMatch) {
    const PositionCase& c = GetParam();
    RegexObject re;
    ASSERT_TRUE(re.create(cp936(c.pattern), cp936(c.subject)));
    int position = 12345;
    const Text text = c.group == 0 ? re.match_text(c.match, &position) : re.submatch_text(c.match, c.group, &position);
    EXPECT_EQ(text, cp936(c.text));
    EXPECT_EQ(position, c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PositionTable,
    testing::Values(PositionCase{"b+", "abbc", 1, 0, "bb", 1},
                    // first index counts UTF-16 units; positions count bytes. Searching from byte
                    // (first index - 1) would begin inside a double-byte character and miss these.
                    PositionCase{"b", "中文b", 1, 0, "b", 4}, PositionCase{"b", "中b文b", 2, 0, "b", 5},
                    PositionCase{"(文)b", "中文b", 1, 1, "文", 2}, PositionCase{"a", "中中aa", 2, 0, "a", 5},
                    // a group's text is searched from the start of its match
                    PositionCase{"a(b)(a)", "xaba", 1, 2, "a", 1}, PositionCase{"中(.)", "中a中文", 2, 1, "文", 5},
                    // empty texts are found at once: position 0, or -2 where no byte is left to search
                    PositionCase{"(a)(x)?", "a", 1, 2, "", 0}, PositionCase{"x*", "ab", 3, 0, "", -2},
                    PositionCase{"x*", "ab", 2, 0, "", 0},
                    // out of range: the empty text, searched from the start
                    PositionCase{"a", "a", 2, 0, "", 0}, PositionCase{"a", "", 1, 0, "", -2}));

TEST(RegexObject, FirstIndexCountsUtf16Units) {
    RegexObject re;
    ASSERT_TRUE(re.create("b", cp936("中文b\r\nb")));
    EXPECT_EQ(re.first_index(1), 2);
    EXPECT_EQ(re.first_index(2), 5);
    EXPECT_EQ(re.first_index(3), -1);
}

TEST(RegexObject, QuoteMarksStandForDoubleQuotesOnlyWhenAsked) {
    const Text pattern = cp936("a#引号b");
    RegexObject re;
    ASSERT_TRUE(re.create(pattern, cp936("a\"b a#引号b"), {}, {}, {}, true));
    EXPECT_EQ(re.pattern_text(), "a\"b");
    ASSERT_EQ(re.match_count(), 1);
    EXPECT_EQ(re.match_text(1), "a\"b");

    ASSERT_TRUE(re.create(pattern, cp936("a\"b a#引号b")));
    EXPECT_EQ(re.pattern_text(), pattern);
    ASSERT_EQ(re.match_count(), 1);
    EXPECT_EQ(re.match_text(1), pattern);
}

TEST(RegexObject, FreshObjectAnswersEmpty) {
    const RegexObject re;
    int position = 7;
    EXPECT_EQ(re.match_count(), 0);
    EXPECT_EQ(re.submatch_count(), 0);
    EXPECT_EQ(re.match_text(1, &position), "");
    EXPECT_EQ(position, -2);
    EXPECT_EQ(re.submatch_text(1, 1), "");
    EXPECT_EQ(re.pattern_text(), "");
    EXPECT_EQ(re.replace("x"), "");
    re.no_operation();
}

TEST(RegexObject, SecondCreateStartsOver) {
    RegexObject re;
    ASSERT_TRUE(re.create("(a)", "aaa"));
    ASSERT_TRUE(re.create("b", "xbx", true, false, false));
    EXPECT_EQ(re.match_count(), 1);
    EXPECT_EQ(re.submatch_count(), 0);
    EXPECT_EQ(re.match_text(2), "");
    EXPECT_EQ(re.replace("-"), "x-x");
}

TEST(RegexObject, InvalidPatternFailsQuietly) {
    for (const char* pattern : {"(", "a)", "[a", "*a", "a**", "a*+", "a++", "(*UTF)a", "(?i)a", "x{3,1}", "[z-a]", "\\",
                                "(?<n>a)\\k<m>", "(?P<n>a)", "(?|a)", "(?<=a+)b"}) {
        RegexObject re;
        ASSERT_TRUE(re.create("a", "a"));
        EXPECT_FALSE(re.create(pattern, "aaa")) << pattern;
        EXPECT_EQ(re.match_count(), 0) << pattern;
        EXPECT_EQ(re.match_text(1), "") << pattern;
        EXPECT_EQ(re.replace("x"), "") << pattern;
        EXPECT_EQ(re.pattern_text(), pattern);  // the engine still holds the pattern it was given
    }
}

TEST(RegexObject, CopiesShareTheRunAndOutliveTheOriginal) {
    auto original = std::make_unique<RegexObject>();
    ASSERT_TRUE(original->create("(\\d+)", "a12b345"));
    RegexObject copy = *original;
    ASSERT_TRUE(original->create("x", "y"));  // a new run does not reach the copy
    EXPECT_EQ(original->match_count(), 0);
    original.reset();
    ASSERT_EQ(copy.match_count(), 2);
    EXPECT_EQ(copy.submatch_text(2, 1), "345");
    EXPECT_EQ(copy.pattern_text(), "(\\d+)");
    EXPECT_EQ(copy.replace("<$1>"), "a<12>b<345>");
    RegexObject assigned;
    assigned = copy;
    EXPECT_EQ(assigned.match_text(1), "12");
}

struct ReplaceCase {
    const char* pattern;
    const char* subject;
    const char* replacement;
    const char* result;
    bool global = true;
};

class ReplaceTable : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTable, ExpandsLikeTheScriptingEngine) {
    const ReplaceCase& c = GetParam();
    RegexObject re;
    ASSERT_TRUE(re.create(cp936(c.pattern), cp936(c.subject), {}, {}, c.global));
    EXPECT_EQ(re.replace(cp936(c.replacement)), cp936(c.result));
}

INSTANTIATE_TEST_SUITE_P(
    Replacements, ReplaceTable,
    testing::Values(ReplaceCase{"(a)(b)?", "xaby a", "[$2$1]", "x[ba]y [a]"},
                    ReplaceCase{"b", "abc", "$`|$'|$&|$$", "aa|c|b|$c"}, ReplaceCase{"o", "foo", "0", "f0o", false},
                    ReplaceCase{"(a)", "a", "$0 $2 $10 $01 $", "$0 $2 a0 a $"},  // "$10": group 1, then '0'
                    ReplaceCase{"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "abcdefghijk", "$11$10$1", "kja"},
                    ReplaceCase{"x*", "中文", "-", "-中-文-"}, ReplaceCase{"文", "中文字", "<$&>", "中<文>字"},
                    ReplaceCase{"z", "abc", "$&", "abc"}));

}  // namespace
}  // namespace lunvek
