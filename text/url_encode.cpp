// Percent-encoding of keywords for query strings: always two upper-case digits, never '+'.
#include "text/encoding.h"

namespace lunvek {

namespace {

bool is_plain(unsigned char b) {
    return b == '-' || b == '.' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

}  // namespace

Text url_encode(const Text& text, bool keep_plain, bool convert_to_utf8) {
    if (text.empty())
        return {};
    const Bytes bytes = text_to_bytes(convert_to_utf8 ? ansi_to_utf8(text) : text);
    static constexpr char digits[] = "0123456789ABCDEF";
    Text encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (keep_plain && is_plain(b)) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(digits[b >> 4]);
            encoded.push_back(digits[b & 0x0F]);
        }
    }
    return encoded;
}

}  // namespace lunvek
