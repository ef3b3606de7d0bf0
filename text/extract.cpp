// Cutting text out between literal markers, and cleaning it by replacement pairs.
#include "text/extract.h"

namespace lunvek {

namespace {

// "#引号" in code page 936: callers cannot write a double quote inside a marker literal otherwise.
const Text quote_placeholder = "#\xD2\xFD\xBA\xC5";

Text with_quotes(const Text& marker) {
    return replace_subtext(marker, quote_placeholder, "\"", 1, std::nullopt, true);
}

}  // namespace

Text text_between(const Text& text, const Text& left, const Text& right, int start, bool ignore_case) {
    const Text left_marker = with_quotes(left);
    const Text right_marker = with_quotes(right);
    int p1 = find_text(text, left_marker, start, ignore_case);
    if (p1 != -1)
        p1 += text_length(left_marker);
    const int p2 = find_text(text, right_marker, p1, ignore_case);
    if (p1 == -1 || p2 == -1)
        return {};
    return text_mid(text, p1, p2 - p1);
}

Text header_value(const Text& line) {
    const int colon = find_text(line, ":", 1, false);
    if (colon == -1)
        return {};
    return trim_both_ends(text_right(line, text_length(line) - colon));
}

// A loop in place of one call per item keeps deep pages off the stack and needs no state shared between
// threads. An empty left marker would be found at position 1 on every round and never advance, so it ends the
// scan before the first item: the result is 0 and `out` stays empty.
int all_texts_between(const Text& text, const Text& left, const Text& right, TextArray& out, bool match_case,
                      int max_length, const Text& prefix, const Text& suffix, bool include_left, bool include_right,
                      int start) {
    out.clear();
    if (left.empty())
        return 0;
    const bool ignore_case = !match_case;
    const int left_length = text_length(left);
    int from = start;
    for (;;) {
        const int p1 = find_text(text, left, from, ignore_case);
        if (p1 == -1)
            break;
        const int item_start = p1 + left_length;
        const int p2 = find_text(text, right, item_start, ignore_case);
        if (p2 == -1)
            break;
        const Text item = trim_both_ends(text_mid(text, item_start, p2 - item_start));
        if (item.empty() || (max_length != 0 && text_length(item) > max_length))
            break;
        Text stored;
        stored.reserve(left.size() + prefix.size() + item.size() + suffix.size() + right.size());
        if (include_left)
            stored += left;
        stored += prefix;
        stored += item;
        stored += suffix;
        if (include_right)
            stored += right;
        out.push_back(std::move(stored));
        // The right marker just found may also open the next item.
        from = p2;
    }
    return static_cast<int>(out.size());
}

Text replace_pairs(const Text& text, std::optional<int> count, int start, bool match_case, const Text& find1,
                   const Text& replacement1, const Text& find2, const Text& replacement2, const Text& find3,
                   const Text& replacement3, const Text& find4, const Text& replacement4, const Text& find5,
                   const Text& replacement5) {
    const int from = start == 0 ? 1 : start;
    const Text* const pairs[5][2] = {{&find1, &replacement1},
                                     {&find2, &replacement2},
                                     {&find3, &replacement3},
                                     {&find4, &replacement4},
                                     {&find5, &replacement5}};
    Text result = text;
    for (const auto& pair : pairs) {
        if (pair[0]->empty())
            continue;
        result = replace_subtext(result, *pair[0], *pair[1], from, count, match_case);
    }
    return result;
}

Text replace_pairs(const Text& text, const Text& find1, const Text& replacement1, const Text& find2,
                   const Text& replacement2, const Text& find3, const Text& replacement3, const Text& find4,
                   const Text& replacement4, const Text& find5, const Text& replacement5) {
    return replace_pairs(text, std::nullopt, 1, false, find1, replacement1, find2, replacement2, find3, replacement3,
                         find4, replacement4, find5, replacement5);
}

}  // namespace lunvek
