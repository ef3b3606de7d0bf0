// Conversion between code page 936, UTF-8 and UTF-16, and percent-encoding of keywords.
// Code page 936 follows the Windows table exactly, user-defined areas included (0x80 <-> U+20AC,
// 0xAA 0xA1 <-> U+E000). Characters code page 936 cannot hold become the converter's substitution character.
#pragma once

#include <string>
#include <string_view>

#include "text/text.h"

namespace lunvek {

constexpr int code_page_system = 0;  // the system code page, which is 936 here
constexpr int code_page_936 = 936;
constexpr int code_page_utf8 = 65001;

// UTF-16 little-endian units held as bytes, terminating zero unit included.
Bytes text_to_utf16(const Text& text, int code_page = code_page_utf8);
Text utf16_to_text(const Bytes& utf16, int code_page = code_page_system);

Text utf8_to_ansi(const Text& utf8);
Text ansi_to_utf8(const Text& text);
Text url_encode(const Text& text, bool keep_plain = false, bool convert_to_utf8 = false);

// Direct forms for layers that work in UTF-16 (the regular-expression engine): no terminating unit.
std::u16string cp936_to_utf16(std::string_view text);
Text utf16_to_cp936(std::u16string_view units);

}  // namespace lunvek
