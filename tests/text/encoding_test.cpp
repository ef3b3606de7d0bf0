// Conversion between code page 936, UTF-8 and UTF-16, and percent-encoding.
#include <gtest/gtest.h>

#include "text/encoding.h"

namespace lunvek {
namespace {

const Text zhong_936 = "\xD6\xD0";
const Text zhong_utf8 = "\xE4\xB8\xAD";

TEST(UrlEncode, Table) {
    EXPECT_EQ(url_encode("a b", true), "a%20b");
    EXPECT_EQ(url_encode("a b", false), "%61%20%62");
    EXPECT_EQ(url_encode("Ab-9./_~", true), "Ab-9.%2F%5F%7E");
    EXPECT_EQ(url_encode(zhong_936, false, true), "%E4%B8%AD");
    EXPECT_EQ(url_encode(zhong_936, false, false), "%D6%D0");
    EXPECT_EQ(url_encode(zhong_936, true, true), "%E4%B8%AD");
    EXPECT_EQ(url_encode("\t"), "%09");
    EXPECT_EQ(url_encode(""), "");
    EXPECT_EQ(url_encode("", true, true), "");
}

TEST(Conversion, BasicTexts) {
    EXPECT_EQ(utf8_to_ansi(zhong_utf8), zhong_936);
    EXPECT_EQ(utf8_to_ansi("plain <a href=\"x\">"), "plain <a href=\"x\">");
    EXPECT_EQ(utf8_to_ansi(""), "");
    EXPECT_EQ(utf8_to_ansi("\xEF\xBB\xBF<html>"), "<html>");  // a byte order mark has no character to become
    EXPECT_EQ(ansi_to_utf8(zhong_936), zhong_utf8);
    EXPECT_EQ(ansi_to_utf8(""), "");
    const Text mixed = "a" + zhong_936 +
                       "\x80"
                       "\xAA\xA1 z";
    EXPECT_EQ(utf8_to_ansi(ansi_to_utf8(mixed)), mixed);
    EXPECT_EQ(ansi_to_utf8("\x80"), "\xE2\x82\xAC");      // euro sign
    EXPECT_EQ(ansi_to_utf8("\xAA\xA1"), "\xEE\x80\x80");  // first user-defined code: U+E000
}

TEST(Conversion, Utf16Bytes) {
    EXPECT_EQ(text_to_utf16("", code_page_utf8), Bytes("\0\0", 2));
    EXPECT_EQ(text_to_utf16("A" + zhong_utf8), Bytes("A\0\x2D\x4E\0\0", 6));
    EXPECT_EQ(text_to_utf16("A" + zhong_936, code_page_936), Bytes("A\0\x2D\x4E\0\0", 6));
    EXPECT_EQ(text_to_utf16("A" + zhong_936, code_page_system), Bytes("A\0\x2D\x4E\0\0", 6));
    EXPECT_EQ(utf16_to_text(Bytes("A\0\x2D\x4E\0\0", 6)), "A" + zhong_936);
    EXPECT_EQ(utf16_to_text(Bytes("A\0\x2D\x4E\0\0", 6), code_page_utf8), "A" + zhong_utf8);
    EXPECT_EQ(utf16_to_text(Bytes("A\0\0\0B\0", 6)), "A");  // ends at the first zero unit
    EXPECT_EQ(utf16_to_text(Bytes("A\0B", 3)), "A");        // an odd byte is half a unit
    EXPECT_EQ(utf16_to_text(Bytes()), "");
    EXPECT_EQ(text_to_utf16(Text("A\0B", 3)), Bytes("A\0\0\0", 4));  // a text ends at its zero byte
    // A code page without a converter converts nothing, quietly.
    EXPECT_EQ(text_to_utf16("abc", 4242), Bytes("\0\0", 2));
    EXPECT_EQ(utf16_to_text(Bytes("A\0\0\0", 4), 4242), "");
}

TEST(Conversion, DirectUtf16Forms) {
    EXPECT_EQ(cp936_to_utf16("a" + zhong_936), u"a\u4E2D");
    EXPECT_EQ(utf16_to_cp936(u"a\u4E2D"), "a" + zhong_936);
    EXPECT_EQ(cp936_to_utf16(""), u"");
    EXPECT_EQ(utf16_to_cp936(u""), "");
}

TEST(Conversion, BadInputKeepsTheTextAround) {
    // Invalid UTF-8 (a lone continuation byte, a truncated sequence at the end) is substituted.
    EXPECT_EQ(utf8_to_ansi("a\x80"
                           "b"),
              "a?b");
    EXPECT_EQ(utf8_to_ansi("ab\xE4\xB8"), "ab?");
    EXPECT_EQ(utf8_to_ansi("\xE4\xB8"
                           "c" +
                           zhong_utf8),
              "?c" + zhong_936);
    // Characters code page 936 lacks become '?', the converter's substitution character.
    EXPECT_EQ(utf8_to_ansi("x\xC3\xA4y"), "x?y");          // U+00E4
    EXPECT_EQ(utf8_to_ansi("x\xF0\x9F\x98\x80y"), "x?y");  // outside the BMP
    // A lone lead byte at the end of a code page 936 text becomes U+FFFD.
    EXPECT_EQ(cp936_to_utf16("a\xD6"), u"a\uFFFD");
    EXPECT_EQ(ansi_to_utf8("a\xD6"), "a\xEF\xBF\xBD");
    EXPECT_EQ(utf16_to_cp936(u"a\xD800z"), "a?z");  // unpaired surrogate
}

}  // namespace
}  // namespace lunvek
