// Cookie-text merge used when a caller of http_request manages its own cookies.
#include "net/cookie_merge.h"

#include <algorithm>

namespace lunvek {

Text cookie_name(const Text& entry) {
    const int equals = find_text(entry, "=");
    return trim_both_ends(equals == -1 ? entry : text_left(entry, equals - 1));
}

bool has_cookie_named(const TextArray& entries, const Text& name) {
    return std::any_of(entries.begin(), entries.end(), [&](const Text& e) { return cookie_name(e) == name; });
}

int index_of_item(const TextArray& items, const Text& item) {
    const auto found = std::find(items.begin(), items.end(), item);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin()) + 1;
}

Text remove_duplicate_items(const Text& list, const Text& separator) {
    TextArray seen;
    Text out;
    for (const Text& piece : split_text(list, separator)) {
        if (index_of_item(seen, piece) == -1) {
            seen.push_back(piece);
            out += piece;
            out += separator;
        }
    }
    return text_left(out, text_length(out) - text_length(separator));
}

Text merge_cookies(Text& old_cookies, Text& new_cookies) {
    old_cookies = remove_all_spaces(old_cookies);
    new_cookies = remove_all_spaces(new_cookies);
    const TextArray old_entries = split_text(old_cookies, ";");
    TextArray merged = split_text(new_cookies, ";");
    // Checked against the growing list: of several old entries with one name only the first is taken.
    for (const Text& entry : old_entries) {
        if (!has_cookie_named(merged, cookie_name(entry))) {
            merged.push_back(entry);
        }
    }
    Text rebuilt;
    for (const Text& entry : merged) {
        if (text_right(entry, 8) != "=deleted") {
            rebuilt += entry;
            rebuilt += "; ";
        }
    }
    rebuilt = text_left(rebuilt, text_length(rebuilt) - 2);
    old_cookies = remove_duplicate_items(rebuilt, "; ");
    return old_cookies;
}

}  // namespace lunvek
