// Extraction between markers and replacement pairs.
#include <gtest/gtest.h>

#include <climits>

#include "text/extract.h"

namespace lunvek {
namespace {

const Text quote_placeholder = "#\xD2\xFD\xBA\xC5";  // "#引号"

TEST(TextBetween, Table) {
    EXPECT_EQ(text_between("k=<v>;", "=<", ">"), "v");
    EXPECT_EQ(text_between("k=<v>;", "x", ">"), "");
    EXPECT_EQ(text_between("k=<v>;", "=<", "#"), "");
    EXPECT_EQ(text_between("a:b:c", ":", ":"), "b");
    EXPECT_EQ(text_between("x=\"a1\"", quote_placeholder + "a", quote_placeholder), "1");
    EXPECT_EQ(text_between("<B>x</b>", "<b>", "</B>"), "");
    EXPECT_EQ(text_between("<B>x</b>", "<b>", "</B>", 1, true), "x");
    EXPECT_EQ(text_between("[1][2]", "[", "]", 2), "2");
    EXPECT_EQ(text_between("[ x ]", "[", "]"), " x ");  // not trimmed
    EXPECT_EQ(text_between("", "[", "]"), "");
}

TEST(HeaderValue, Table) {
    EXPECT_EQ(header_value("Location:  /next  "), "/next");
    EXPECT_EQ(header_value("no colon here"), "");
    EXPECT_EQ(header_value("Name: value\r"), "value\r");
    EXPECT_EQ(header_value("Host: a:80"), "a:80");
    EXPECT_EQ(header_value("Empty:"), "");
    EXPECT_EQ(header_value(""), "");
}

TEST(AllTextsBetween, ItemsAndEarlyEnds) {
    TextArray out;
    EXPECT_EQ(all_texts_between("x|a|b|c", "|", "|", out), 2);
    EXPECT_EQ(out, (TextArray{"a", "b"}));
    EXPECT_EQ(all_texts_between("[a][ ][b]", "[", "]", out), 1);
    EXPECT_EQ(out, (TextArray{"a"}));
    EXPECT_EQ(all_texts_between("[ab][abcd][c]", "[", "]", out, false, 3), 1);
    EXPECT_EQ(out, (TextArray{"ab"}));
    EXPECT_EQ(all_texts_between("[a]", "[", "]", out, false, 0, "P", "S", true, true), 1);
    EXPECT_EQ(out, (TextArray{"[PaS]"}));
    EXPECT_EQ(all_texts_between("<B>1</B><B>2</B>", "<b>", "</b>", out), 2);
    EXPECT_EQ(out, (TextArray{"1", "2"}));
    EXPECT_EQ(all_texts_between("<B>1</B><B>2</B>", "<b>", "</b>", out, true), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(all_texts_between("[ a ][b]", "[", "]", out, false, 0, "", "", false, false, 3), 1);
    EXPECT_EQ(out, (TextArray{"b"}));
}

TEST(AllTextsBetween, SecondScanStartsEmpty) {
    TextArray out{"old"};
    EXPECT_EQ(all_texts_between("nothing", "[", "]", out), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(all_texts_between("[a]", "[", "]", out), 1);
    EXPECT_EQ(all_texts_between("[b]", "[", "]", out), 1);
    EXPECT_EQ(out, (TextArray{"b"}));
}

TEST(AllTextsBetween, DegenerateMarkersEnd) {
    TextArray out{"old"};
    EXPECT_EQ(all_texts_between("[a][b]", "", "]", out), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(all_texts_between("[a][b]", "[", "", out), 0);
    EXPECT_EQ(all_texts_between("[a][b]", "[", "]", out, false, -1), 0);
    EXPECT_EQ(all_texts_between("[a][b]", "[", "]", out, false, 0, "", "", false, false, INT_MAX), 0);
    EXPECT_EQ(all_texts_between("[a][b]", "[", "]", out, false, 0, "", "", false, false, INT_MIN), 2);
}

TEST(ReplacePairs, Table) {
    EXPECT_EQ(replace_pairs("aaaaaa", 1, 1, false, "a", "", "a", "", "a", "", "a", "", "a", ""), "a");
    EXPECT_EQ(replace_pairs("aXbxc", "x", "-"), "a-b-c");
    EXPECT_EQ(replace_pairs("aXbxc", std::nullopt, 0, true, "x", "-"), "aXb-c");
    EXPECT_EQ(replace_pairs("abc", "a", "b", "b", "c"), "ccc");  // later passes see earlier results
    EXPECT_EQ(replace_pairs("abc", "", "z", "", "y"), "abc");
    EXPECT_EQ(replace_pairs("<em>x</em>", "<em>", "", "</em>", ""), "x");
}

}  // namespace
}  // namespace lunvek
