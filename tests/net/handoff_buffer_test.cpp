#include <gtest/gtest.h>

#include "net/handoff_buffer.h"

namespace lunvek {
namespace {

TEST(HandoffBuffer, RecordsRoundTrip) {
    HandoffBuffer buffer;
    const Bytes body("a\0b\xff", 4);
    buffer.write_text("Tobrine_OK");
    buffer.write_text("");
    buffer.write_bytes(body);
    EXPECT_EQ(buffer.data(), Bytes("Tobrine_OK\0\0\x04\0\0\0a\0b\xff", 20));

    buffer.seek(0);
    Text marker = "x", empty = "x";
    Bytes read_body;
    EXPECT_TRUE(buffer.read_text(marker));
    EXPECT_TRUE(buffer.read_text(empty));
    EXPECT_TRUE(buffer.read_bytes(read_body));
    EXPECT_EQ(marker, "Tobrine_OK");
    EXPECT_EQ(empty, "");
    EXPECT_EQ(read_body, body);
}

TEST(HandoffBuffer, UnreadableFieldsStayEmpty) {
    HandoffBuffer buffer;
    Text text = "x";
    Bytes bytes = "x";
    EXPECT_FALSE(buffer.read_text(text));
    EXPECT_FALSE(buffer.read_bytes(bytes));
    EXPECT_EQ(text, "");
    EXPECT_EQ(bytes, "");

    buffer.write_text("abc");
    buffer.write_raw("\x09\0\0\0short", 9);
    buffer.seek(0);
    EXPECT_TRUE(buffer.read_text(text));
    EXPECT_FALSE(buffer.read_bytes(bytes));  // claims 9 bytes, holds 5
    EXPECT_EQ(bytes, "");

    HandoffBuffer unterminated;
    unterminated.write_raw("abc", 3);
    unterminated.seek(0);
    EXPECT_FALSE(unterminated.read_text(text));
    EXPECT_EQ(text, "");
}

TEST(HandoffBuffer, ClearEmptiesAndWritesOverwriteInPlace) {
    HandoffBuffer buffer;
    buffer.write_text("Tobrine");
    buffer.write_text("http://x/");
    buffer.clear();
    EXPECT_EQ(buffer.data(), "");
    buffer.write_text("long text");
    buffer.seek(0);
    buffer.write_text("ab");
    EXPECT_EQ(buffer.data(), Bytes("ab\0g text\0", 10));
}

}  // namespace
}  // namespace lunvek
