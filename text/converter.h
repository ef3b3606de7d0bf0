// Internal: conversions between UTF-16 and the byte encodings the program uses, on ICU.
// Every routine converts all the bytes or units it is given, zero ones included; callers decide where a text
// ends. Bad input never fails: ill-formed sequences become the converter's substitution character and the
// text around them is kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lunvek::detail {

std::u16string decode_cp936(std::string_view bytes);
std::string encode_cp936(std::u16string_view units);
std::u16string decode_utf8(std::string_view bytes);
std::string encode_utf8(std::u16string_view units);

// UTF-8 straight to code page 936 in one converter run: the form whole pages take.
std::string utf8_to_cp936(std::string_view bytes);

// Any other code page by number; nullopt when there is no converter for it.
std::optional<std::u16string> decode_code_page(int code_page, std::string_view bytes);
std::optional<std::string> encode_code_page(int code_page, std::u16string_view units);

}  // namespace lunvek::detail
