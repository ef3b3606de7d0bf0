// The code page 936 table: every double-byte code converts to one UTF-16 unit and back unchanged, and the
// user-defined areas land in the private-use range in the order of the Windows table.
#include <gtest/gtest.h>

#include <set>

#include "text/encoding.h"

namespace lunvek {
namespace {

struct Code {
    unsigned lead;
    unsigned trail;
};

std::vector<Code> every_double_byte_code() {
    std::vector<Code> codes;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F)
                codes.push_back({lead, trail});
        }
    }
    return codes;
}

Text bytes_of(const std::vector<Code>& codes) {
    Text text;
    for (const Code& c : codes) {
        text.push_back(static_cast<char>(c.lead));
        text.push_back(static_cast<char>(c.trail));
    }
    return text;
}

TEST(Cp936Table, EveryDoubleByteCodeRoundTrips) {
    const std::vector<Code> codes = every_double_byte_code();
    ASSERT_EQ(codes.size(), 126u * 190u);
    const Text text = bytes_of(codes);
    const std::u16string units = cp936_to_utf16(text);
    ASSERT_EQ(units.size(), codes.size());
    std::set<char16_t> distinct;
    for (std::size_t i = 0; i < units.size(); ++i) {
        EXPECT_NE(units[i], u'\uFFFD') << std::hex << codes[i].lead << codes[i].trail;
        EXPECT_FALSE(units[i] >= 0xD800 && units[i] <= 0xDFFF) << std::hex << codes[i].lead << codes[i].trail;
        distinct.insert(units[i]);
    }
    EXPECT_EQ(distinct.size(), codes.size());
    EXPECT_EQ(utf16_to_cp936(units), text);
    // The same through the UTF-8 forms the search pages take.
    EXPECT_EQ(utf8_to_ansi(ansi_to_utf8(text)), text);
}

TEST(Cp936Table, UserDefinedAreasAreSequentialPrivateUse) {
    struct Area {
        unsigned first_lead, last_lead, first_trail, last_trail;
    };
    // In table order: 0xAAA1..0xAFFE, 0xF8A1..0xFEFE, 0xA140..0xA7A0, starting at U+E000 without a gap.
    const Area areas[] = {{0xAA, 0xAF, 0xA1, 0xFE}, {0xF8, 0xFE, 0xA1, 0xFE}, {0xA1, 0xA7, 0x40, 0xA0}};
    char16_t expected = 0xE000;
    for (const Area& area : areas) {
        for (unsigned lead = area.first_lead; lead <= area.last_lead; ++lead) {
            for (unsigned trail = area.first_trail; trail <= area.last_trail; ++trail) {
                if (trail == 0x7F)
                    continue;
                const Text code{static_cast<char>(lead), static_cast<char>(trail)};
                ASSERT_EQ(cp936_to_utf16(code), std::u16string(1, expected)) << std::hex << lead << trail;
                ASSERT_EQ(utf16_to_cp936(std::u16string(1, expected)), code) << std::hex << lead << trail;
                ++expected;
            }
        }
    }
    EXPECT_EQ(expected, 0xE766);
}

TEST(Cp936Table, SingleBytes) {
    Text ascii;
    std::u16string ascii_units;
    for (int b = 1; b < 0x80; ++b) {
        ascii.push_back(static_cast<char>(b));
        ascii_units.push_back(static_cast<char16_t>(b));
    }
    EXPECT_EQ(cp936_to_utf16(ascii), ascii_units);
    EXPECT_EQ(utf16_to_cp936(ascii_units), ascii);
    EXPECT_EQ(cp936_to_utf16("\x80"), u"\u20AC");
    EXPECT_EQ(utf16_to_cp936(u"\u20AC"), "\x80");
    EXPECT_EQ(cp936_to_utf16(Text("a\0b", 3)), std::u16string(u"a\0b", 3));  // the direct form keeps zeros
    // A lead byte followed by a byte that cannot be a second byte: substituted, the following byte kept.
    EXPECT_EQ(cp936_to_utf16("\x81 b"), u"\uFFFD b");
    EXPECT_EQ(cp936_to_utf16("\x81\x7F"
                             "b"),
              u"\uFFFD\x7F"
              "b");
}

}  // namespace
}  // namespace lunvek
