// Merging a caller's cookie text with the cookies a response set. Cookie text: entries name=value separated
// by "; " (";" with optional spaces on input). Pure text work; never touches the network.
#pragma once

#include "text/text.h"

namespace lunvek {

// New entries first in the server's order, then old entries whose names the server did not set; entries
// ending in "=deleted" are dropped, exact repeats removed. On return `old_cookies` holds the merged text and
// `new_cookies` its input without any space.
Text merge_cookies(Text& old_cookies, Text& new_cookies);

// The bytes before the entry's first "=" (the whole entry without one), trimmed.
Text cookie_name(const Text& entry);
bool has_cookie_named(const TextArray& entries, const Text& name);
// The list with later exact repeats of a piece removed.
Text remove_duplicate_items(const Text& list, const Text& separator);
// 1-based index of the first element equal to `item`, -1 when none.
int index_of_item(const TextArray& items, const Text& item);

}  // namespace lunvek
