// Keywords as the search form sends them: strict percent-decoding, UTF-8 checks, word splitting and the
// case folding that search and highlighting share.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lunvek::site {

// Strict decoding of one query value: "%" must be followed by two hex digits, "+" is a space, and the
// result must be well-formed UTF-8 without zero bytes. Anything else gives no value.
std::optional<std::string> percent_decode(std::string_view raw);

// Code points of well-formed UTF-8; no value for malformed input (overlong forms, surrogates, truncation).
std::optional<std::u32string> utf8_decode(std::string_view text);
std::string utf8_encode(std::u32string_view code_points);

// Well-formed UTF-8 with every malformed byte replaced by U+FFFD: names read from foreign files.
std::string utf8_sanitize(std::string_view text);

// Simple (one-to-one) case folding, so that folded text keeps its code point positions.
char32_t fold_case(char32_t c);
std::u32string fold_case(std::u32string_view text);

// Words of a decoded keyword, split at ASCII and ideographic spaces, each folded; empty words dropped.
std::vector<std::u32string> keyword_words(std::string_view keyword);

}  // namespace lunvek::site
