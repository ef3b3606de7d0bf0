// Very large inputs: defined results, no deep recursion, no quadratic work.
#include <gtest/gtest.h>

#include <climits>

#include "text/encoding.h"
#include "text/extract.h"
#include "text/text.h"

namespace lunvek {
namespace {

constexpr std::size_t hundred_mb = 100u * 1024u * 1024u;

TEST(LargeTexts, HundredMegabytes) {
    // Markup up to the last megabyte, then a run of double-byte characters whose bytes hold the sub-text at
    // every odd offset: only the occurrence appended at the very end lies on a character boundary.
    Text text;
    text.reserve(hundred_mb + 8);
    const Text row = "<tr><td class=\"n\">ab cd</td></tr>\r\n";
    while (text.size() + row.size() < hundred_mb - (1u << 20))
        text += row;
    const std::size_t run_start = text.size();
    text.resize(hundred_mb, '\xB0');
    for (std::size_t i = run_start + 1; i < text.size(); i += 2)
        text[i] = '\xA1';
    text += "\xA1\xB0";
    const int size = text_length(text);
    EXPECT_EQ(find_text(text, "\xA1\xB0"), size - 1);
    EXPECT_EQ(find_text(text, "\xA1\xB0", 1, true), size - 1);
    EXPECT_EQ(find_text(text, "</TD></TR>\r\n<x", 1, true), -1);
    EXPECT_EQ(find_text_reverse(text, "\xA1\xB0"), size - 1);
    EXPECT_EQ(find_text_reverse(text, "</td>"), static_cast<int>(run_start - row.size()) + 24);
    EXPECT_EQ(find_text(text, "\xA1\xB0", static_cast<int>(run_start) + 2), static_cast<int>(run_start) + 2);
    const Text replaced = replace_subtext(text, "\xA1\xB0", "!");
    EXPECT_EQ(replaced.size(), text.size() - 1);
    EXPECT_EQ(text_right(replaced, 3), "\xB0\xA1!");
    EXPECT_EQ(split_text(text, "\r\n").size(), run_start / row.size() + 1);
    EXPECT_EQ(remove_all_spaces(text).size(), text.size() - 2 * (run_start / row.size()));
    EXPECT_EQ(trim_both_ends(text + " \xD6").size(), text.size());
    EXPECT_EQ(to_int(Text(hundred_mb, '9')), INT_MAX);
}

TEST(LargeTexts, MillionItemsNeedNoDeepStack) {
    Text page;
    const int items = 1000000;
    page.reserve(static_cast<std::size_t>(items) * 4);
    for (int i = 0; i < items; ++i)
        page += "<a>";
    page += "z<";
    TextArray out;
    // Each right marker "<" is also the next item's left marker.
    EXPECT_EQ(all_texts_between(page, "<", "<", out), items);
    ASSERT_EQ(out.size(), static_cast<std::size_t>(items));
    EXPECT_EQ(out.front(), "a>");
    EXPECT_EQ(out.back(), "a>z");
}

TEST(LargeTexts, ConversionOfALargePage) {
    Text utf8;
    for (int i = 0; i < 200000; ++i)
        utf8 += "<td>\xE4\xB8\xAD</td>";
    const Text ansi = utf8_to_ansi(utf8);
    EXPECT_EQ(ansi.size(), utf8.size() - 200000u);
    EXPECT_EQ(ansi_to_utf8(ansi), utf8);
}

}  // namespace
}  // namespace lunvek
