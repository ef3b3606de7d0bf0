// Cutting text out of pages, headers and URLs between literal markers, and cleaning it by replacement pairs.
// Built only from the operations in text.h and bound by their rules.
#pragma once

#include <optional>

#include "text/text.h"

namespace lunvek {

// Callers write a double quote inside a marker as "#引号" (code page 936 bytes).
Text text_between(const Text& text, const Text& left, const Text& right, int start = 1, bool ignore_case = false);

Text header_value(const Text& line);

// Empties `out`, then appends every item between the markers until the first missing or rejected one.
// Returns the number of elements in `out`. Safe to call from several threads at once.
int all_texts_between(const Text& text, const Text& left, const Text& right, TextArray& out,
                      bool match_case = false, int max_length = 0, const Text& prefix = {},
                      const Text& suffix = {}, bool include_left = false, bool include_right = false,
                      int start = 1);

// Up to five replace_subtext passes in order. A pair with an empty find text changes nothing.
// count: every occurrence when absent; start 0 counts as 1.
Text replace_pairs(const Text& text, std::optional<int> count, int start, bool match_case, const Text& find1,
                   const Text& replacement1, const Text& find2 = {}, const Text& replacement2 = {},
                   const Text& find3 = {}, const Text& replacement3 = {}, const Text& find4 = {},
                   const Text& replacement4 = {}, const Text& find5 = {}, const Text& replacement5 = {});

// The form every caller uses: all options at their defaults (every occurrence, from 1, case ignored).
Text replace_pairs(const Text& text, const Text& find1, const Text& replacement1, const Text& find2 = {},
                   const Text& replacement2 = {}, const Text& find3 = {}, const Text& replacement3 = {},
                   const Text& find4 = {}, const Text& replacement4 = {}, const Text& find5 = {},
                   const Text& replacement5 = {});

}  // namespace lunvek
