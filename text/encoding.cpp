// Code-page conversion of texts. Texts end at their first zero byte, UTF-16 texts at their first zero unit.
#include "text/encoding.h"

#include <cstring>

#include "text/converter.h"

namespace lunvek {

namespace {

std::string_view up_to_zero(const Text& text) {
    const void* zero = std::memchr(text.data(), 0, text.size());
    return zero == nullptr
               ? std::string_view(text)
               : std::string_view(text.data(), static_cast<std::size_t>(static_cast<const char*>(zero) - text.data()));
}

bool is_cp936(int code_page) {
    return code_page == code_page_system || code_page == code_page_936;
}

std::u16string decode(std::string_view bytes, int code_page) {
    if (is_cp936(code_page))
        return detail::decode_cp936(bytes);
    if (code_page == code_page_utf8)
        return detail::decode_utf8(bytes);
    // An unknown code page converts nothing, like a failed platform conversion into a zeroed buffer.
    return detail::decode_code_page(code_page, bytes).value_or(std::u16string());
}

Text encode(std::u16string_view units, int code_page) {
    if (is_cp936(code_page))
        return detail::encode_cp936(units);
    if (code_page == code_page_utf8)
        return detail::encode_utf8(units);
    return detail::encode_code_page(code_page, units).value_or(Text());
}

}  // namespace

Bytes text_to_utf16(const Text& text, int code_page) {
    const std::u16string units = decode(up_to_zero(text), code_page);
    Bytes bytes((units.size() + 1) * 2, '\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return bytes;
}

Text utf16_to_text(const Bytes& utf16, int code_page) {
    // An odd final byte is half a unit and is ignored.
    const std::size_t available = utf16.size() / 2;
    std::u16string units;
    units.reserve(available);
    for (std::size_t i = 0; i < available; ++i) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(utf16[2 * i]) |
                                                (static_cast<unsigned char>(utf16[2 * i + 1]) << 8));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return encode(units, code_page);
}

Text utf8_to_ansi(const Text& utf8) {
    return detail::utf8_to_cp936(up_to_zero(utf8));
}

Text ansi_to_utf8(const Text& text) {
    return detail::encode_utf8(detail::decode_cp936(up_to_zero(text)));
}

std::u16string cp936_to_utf16(std::string_view text) {
    return detail::decode_cp936(text);
}

Text utf16_to_cp936(std::u16string_view units) {
    return detail::encode_cp936(units);
}

}  // namespace lunvek
