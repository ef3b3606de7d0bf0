// Text and byte operations: positions, counts out of range, spaces and double-byte stepping.
#include <gtest/gtest.h>

#include <climits>

#include "text/text.h"

namespace lunvek {
namespace {

// 中 and 文 in code page 936; the full-width space.
const Text zhong = "\xD6\xD0";
const Text wen = "\xCE\xC4";
const Text wide_space = "\xA1\xA1";

TEST(TextSlices, LeftRightMidCountBytes) {
    EXPECT_EQ(text_length(""), 0);
    EXPECT_EQ(text_length("a" + zhong), 3);
    EXPECT_EQ(text_left("abc", -1), "");
    EXPECT_EQ(text_left("abc", 0), "");
    EXPECT_EQ(text_left("abc", 2), "ab");
    EXPECT_EQ(text_left("abc", INT_MAX), "abc");
    EXPECT_EQ(text_right("abc", -5), "");
    EXPECT_EQ(text_right("abc", 2), "bc");
    EXPECT_EQ(text_right("abc", INT_MAX), "abc");
    EXPECT_EQ(text_mid("abc", 0, 2), "");
    EXPECT_EQ(text_mid("abc", 2, 10), "bc");
    EXPECT_EQ(text_mid("abc", 4, 1), "");
    EXPECT_EQ(text_mid("abc", 1, 0), "");
    EXPECT_EQ(text_mid("abc", 3, INT_MAX), "c");
    EXPECT_EQ(text_mid("abc", INT_MIN, 5), "");
    EXPECT_EQ(text_mid(zhong, 2, 1), "\xD0");  // not stepping: may cut a character
}

struct FindCase {
    Text text;
    Text sub;
    int start;
    bool ignore_case;
    int expected;
};

TEST(FindText, Table) {
    const FindCase cases[] = {
        {"abcabc", "c", 4, false, 6},
        {"abcabc", "c", 0, false, 3},
        {"abcabc", "c", 7, false, -1},
        {"abcabc", "c", INT_MIN, false, 3},
        {"abcabc", "c", INT_MAX, false, -1},
        {"abc", "", 3, false, 1},
        {"abc", "", 4, false, -1},
        {"", "", 1, false, -1},
        {"", "a", 1, false, -1},
        {"ABC", "b", 1, true, 2},
        {"ABC", "b", 1, false, -1},
        {"abc", "abcd", 1, false, -1},
        {zhong + "a",
         "\xD0"
         "a",
         1, false, -1},  // second byte + next byte is no match
        {zhong + "\xD0"
                 "a",
         "\xD0"
         "a",
         1, false, 3},
        {zhong + "a",
         "\xD0"
         "a",
         2, false, 2},  // boundaries count from the start
        {"x" + zhong + "Ab", "aB", 1, true, 4},
        {"\xD6"
         "A",
         "\xD6"
         "a",
         1, true, 1},                     // folding also applies to second bytes
        {"ab\xD6", "\xD6", 1, false, 3},  // lone lead byte at the end
        {"ab\xD6", "b\xD6", 1, false, 2},
        {"\xB0\xA1\xB0\xA1\xB0\xA1", "\xA1\xB0", 1, false, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find_text(c.text, c.sub, c.start, c.ignore_case), c.expected)
            << "'" << c.text << "' / '" << c.sub << "' from " << c.start;
    }
}

// Occurrences far from the start, at every distance up to where the search has split its work several times.
TEST(FindText, DistantOccurrences) {
    for (const std::size_t sub_length : {1u, 7u}) {
        const Text sub = Text("abcdefz").substr(7 - sub_length);
        Text text(30000 + sub_length, 'y');
        for (std::size_t pos = 0; pos + sub_length <= text.size(); ++pos) {
            text.replace(pos, sub_length, sub);
            ASSERT_EQ(find_text(text, sub), static_cast<int>(pos + 1)) << sub_length << " at " << pos;
            text.replace(pos, sub_length, sub_length, 'y');
        }
    }
    const Text long_sub = Text(4999, 'y') + "z";
    for (std::size_t pos = 0; pos < 70000; pos = pos * 5 / 4 + 1) {
        Text text(pos + long_sub.size() + 3000, 'y');
        text.replace(pos, long_sub.size(), long_sub);
        ASSERT_EQ(find_text(text, long_sub), static_cast<int>(pos + 1)) << pos;
        ASSERT_EQ(find_text_reverse(text, long_sub), static_cast<int>(pos + 1)) << pos;
        ASSERT_EQ(replace_subtext(text, long_sub, "!").size(), text.size() - long_sub.size() + 1) << pos;
    }
}

TEST(FindTextReverse, Table) {
    EXPECT_EQ(find_text_reverse("a.b.c", "."), 4);
    EXPECT_EQ(find_text_reverse("a.b.c", ".", 4), 2);
    EXPECT_EQ(find_text_reverse("a.b.c", ".", 5), 4);
    EXPECT_EQ(find_text_reverse("a.b.c", ".", 1), -1);
    EXPECT_EQ(find_text_reverse("a.b.c", ".", INT_MIN), -1);
    EXPECT_EQ(find_text_reverse("a.b.c", ".", INT_MAX), 4);
    EXPECT_EQ(find_text_reverse("a.b.c", "b.c", 6), 3);
    EXPECT_EQ(find_text_reverse("a.b.c", "b.c", 5), -1);  // must end before start
    EXPECT_EQ(find_text_reverse("abc", ""), 1);
    EXPECT_EQ(find_text_reverse("abc", "", 1), -1);
    EXPECT_EQ(find_text_reverse("", ""), -1);
    EXPECT_EQ(find_text_reverse("aXa", "x", std::nullopt, true), 2);
    EXPECT_EQ(find_text_reverse("aaa", "aa"), 2);  // overlapping occurrences count
    EXPECT_EQ(find_text_reverse(zhong +
                                    "\xD0"
                                    "a" +
                                    zhong + "a",
                                "\xD0"
                                "a"),
              3);
    EXPECT_EQ(find_text_reverse("a\xD6", "\xD6"), 2);
}

TEST(ReplaceSubtext, Table) {
    EXPECT_EQ(replace_subtext("aaa", "a", "b", 2, 1, false), "aba");
    EXPECT_EQ(replace_subtext("aaa", "a", "b", 2, 0, false), "aaa");
    EXPECT_EQ(replace_subtext("aaa", "a", "b", 2, -3, false), "aaa");
    EXPECT_EQ(replace_subtext("aaa", "a", "b", 4, std::nullopt, false), "aaa");
    EXPECT_EQ(replace_subtext("aaa", "a", "b", INT_MAX), "aaa");
    EXPECT_EQ(replace_subtext("aaa", "a", "b", INT_MIN), "bbb");
    EXPECT_EQ(replace_subtext("aaa", "a", "b", 1, INT_MAX), "bbb");
    EXPECT_EQ(replace_subtext("aa", "a", "aa"), "aaaa");
    EXPECT_EQ(replace_subtext("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(replace_subtext("AbA", "a", "x", 1, std::nullopt, false), "xbx");
    EXPECT_EQ(replace_subtext("AbA", "a", "x", 1, std::nullopt, true), "AbA");
    EXPECT_EQ(replace_subtext("abc", "b"), "ac");
    EXPECT_EQ(replace_subtext("", "a", "b"), "");
    EXPECT_EQ(replace_subtext("abc", "", "b"), "abc");
    EXPECT_EQ(replace_subtext(zhong + "\xD0"
                                      "a",
                              "\xD0"
                              "a",
                              "!"),
              zhong + "!");
    EXPECT_EQ(replace_subtext("a\xD6", "\xD6", "!"), "a!");
}

TEST(ReplaceTextAt, Table) {
    EXPECT_EQ(replace_text_at("abcdef", 2, 3, "X"), "aXef");
    EXPECT_EQ(replace_text_at("abcdef", 2, 3), "aef");
    EXPECT_EQ(replace_text_at("abc", 0, 1, "X"), "Xbc");
    EXPECT_EQ(replace_text_at("abc", INT_MIN, 1, "X"), "Xbc");
    EXPECT_EQ(replace_text_at("abc", 9, 1, "X"), "abcX");
    EXPECT_EQ(replace_text_at("abc", 2, -4, "X"), "aXbc");
    EXPECT_EQ(replace_text_at("abc", 2, INT_MAX, "X"), "aX");
    EXPECT_EQ(replace_text_at("", 1, 1, "X"), "X");
}

TEST(SplitText, Table) {
    using A = TextArray;
    EXPECT_EQ(split_text("a,,b", ","), (A{"a", "", "b"}));
    EXPECT_EQ(split_text("a,b,", ","), (A{"a", "b"}));
    EXPECT_EQ(split_text(",a", ","), (A{"", "a"}));
    EXPECT_EQ(split_text(",", ","), (A{""}));
    EXPECT_EQ(split_text("", ","), A{});
    EXPECT_EQ(split_text("abc", ""), (A{"abc"}));
    EXPECT_EQ(split_text("a--b---c", "--"), (A{"a", "b", "-c"}));
    EXPECT_EQ(split_text("aXb", "x"), (A{"aXb"}));  // exact comparison
    EXPECT_EQ(split_text(zhong + "\xD0"
                                 "a",
                         "\xD0"),
              (A{zhong, "a"}));
    EXPECT_EQ(split_text("a,\xD6", ","), (A{"a", "\xD6"}));
}

TEST(Spaces, TrimAndRemove) {
    EXPECT_EQ(trim_both_ends(wide_space + " x \r\n"), "x \r\n");
    EXPECT_EQ(trim_both_ends("  a b " + wide_space + " "), "a b");
    EXPECT_EQ(trim_both_ends(" " + wide_space), "");
    EXPECT_EQ(trim_both_ends(""), "");
    EXPECT_EQ(trim_both_ends("\ta\t"), "\ta\t");
    // 0xA1 0xA1 inside a character pair is no space: here the pair is "\xB0\xA1" then "\xA1" "x".
    EXPECT_EQ(trim_both_ends("\xB0\xA1\xA1x"), "\xB0\xA1\xA1x");
    EXPECT_EQ(trim_both_ends(" a\xD6"), "a");  // lone lead byte dropped
    EXPECT_EQ(trim_both_ends(" a \xD6"), "a");
    EXPECT_EQ(trim_both_ends("\xD6"), "");
    EXPECT_EQ(remove_all_spaces(" a" + wide_space + "b\t c "), "ab\tc");
    // Pairs B0 A1 and A1 20: neither the A1 A1 across them nor the 0x20 second byte is a space.
    EXPECT_EQ(remove_all_spaces("\xB0\xA1\xA1 x"), "\xB0\xA1\xA1 x");
    EXPECT_EQ(remove_all_spaces("a b\xD6"), "ab");
    EXPECT_EQ(remove_all_spaces(""), "");
}

TEST(CaseChange, OnlySingleByteLetters) {
    EXPECT_EQ(to_lower("AbC-Z@["), "abc-z@[");
    EXPECT_EQ(to_upper("aBc-z`{"), "ABC-Z`{");
    // The second byte of a pair may look like a letter ('A' = 0x41, 'a' = 0x61) and stays as it is.
    EXPECT_EQ(to_lower("\x81"
                       "AB"),
              "\x81"
              "Ab");
    EXPECT_EQ(to_upper("\x81"
                       "ab"),
              "\x81"
              "aB");
    EXPECT_EQ(to_upper("a\xD6"), "A\xD6");
    EXPECT_EQ(to_lower(""), "");
}

TEST(Numbers, ToInt) {
    const std::pair<Text, int> cases[] = {
        {"  -12abc", -12},
        {"\xA3\xB1\xA3\xB2", 12},  // full-width one and two
        {"+7", 7},
        {"", 0},
        {"abc", 0},
        {"\t\n 42", 42},
        {"\xA1\xA1\xA3\xAD"
         "5",
         -5},  // full-width space and minus
        {"- 5", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},
        {"\xD6\xD0"
         "5",
         0},
        {"12\xA3", 12},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(to_int(text), expected) << text;
}

TEST(Numbers, ToNumber) {
    const std::pair<Text, double> cases[] = {
        {"3.5kg", 3.5},   {" -2.5e2x", -250.0}, {"1d3", 1000.0}, {"1e", 1.0},     {".5", 0.5},
        {"5.", 5.0},      {".", 0.0},           {"-", 0.0},      {"abc", 0.0},    {"", 0.0},
        {"0x10", 0.0},    {"inf", 0.0},         {"nan", 0.0},    {"1e+2", 100.0}, {"\xA3\xB3\xA3\xAE\xA3\xB5", 3.5},
        {"8080", 8080.0},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(to_number(text), expected) << text;
}

TEST(Numbers, ToText) {
    EXPECT_EQ(number_to_text(-5), "-5");
    EXPECT_EQ(number_to_text(INT_MIN), "-2147483648");
    EXPECT_EQ(number_to_text(3.0), "3");
    EXPECT_EQ(number_to_text(12.5), "12.5");
    EXPECT_EQ(number_to_text(0.1 + 0.2), "0.3");
    EXPECT_EQ(number_to_text(1e20), "1e+20");
    EXPECT_EQ(hex_text(7), "7");
    EXPECT_EQ(hex_text(10), "A");
    EXPECT_EQ(hex_text(255), "FF");
    EXPECT_EQ(hex_text(0), "0");
    EXPECT_EQ(hex_text(-1), "FFFFFFFF");
    EXPECT_EQ(char_from_code(0), "");
    EXPECT_EQ(char_from_code(0x41), "A");
    EXPECT_EQ(char_from_code(0xD6), "\xD6");
    EXPECT_EQ(char_from_code(0x141), "A");
    EXPECT_EQ(char_from_code(0x100), "");
    EXPECT_EQ(blank_text(3), "   ");
    EXPECT_EQ(blank_text(0), "");
    EXPECT_EQ(blank_text(-3), "");
}

TEST(Bytes, ZeroBytesAreKept) {
    const Bytes with_zero("a\0b", 3);
    EXPECT_EQ(bytes_to_text(with_zero), "a");
    EXPECT_EQ(bytes_to_text("ab"), "ab");
    EXPECT_EQ(bytes_length(with_zero), 3);
    EXPECT_EQ(bytes_left(with_zero, 2), Bytes("a\0", 2));
    EXPECT_EQ(bytes_left(with_zero, 9), with_zero);
    EXPECT_EQ(bytes_left(with_zero, -1), Bytes());
    EXPECT_EQ(blank_bytes(2), Bytes("\0\0", 2));
    EXPECT_EQ(blank_bytes(-2), Bytes());
    EXPECT_EQ(text_to_bytes("ab"), Bytes("ab"));
    EXPECT_EQ(text_to_bytes(""), Bytes());
}

}  // namespace
}  // namespace lunvek
