// Keyword decoding and folding; kept free of any page or server concern so the tests can hammer it.
#include "site/keyword.h"

#include <unicode/uchar.h>

#include <unordered_set>

namespace lunvek::site {

namespace {

int hex_value(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Length of the well-formed sequence at text[i] and its code point, or 0 when malformed.
int decode_one(std::string_view text, size_t i, char32_t& out) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    int length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, c = b0 & 0x1F, minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, c = b0 & 0x0F, minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, c = b0 & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    out = c;
    return length;
}

}  // namespace

std::optional<std::string> percent_decode(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '%') {
            if (i + 2 >= raw.size())
                return std::nullopt;
            const int high = hex_value(raw[i + 1]);
            const int low = hex_value(raw[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else if (c == '+') {
            out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    if (out.find('\0') != std::string::npos || !utf8_decode(out))
        return std::nullopt;
    return out;
}

std::optional<std::u32string> utf8_decode(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const int length = decode_one(text, i, c);
        if (length == 0)
            return std::nullopt;
        out.push_back(c);
        i += length;
    }
    return out;
}

std::string utf8_encode(std::u32string_view code_points) {
    std::string out;
    out.reserve(code_points.size());
    for (const char32_t c : code_points) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string utf8_sanitize(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const int length = decode_one(text, i, c);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            if (c != 0)
                out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

char32_t fold_case(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

std::u32string fold_case(std::u32string_view text) {
    std::u32string out(text);
    for (char32_t& c : out)
        c = fold_case(c);
    return out;
}

std::vector<std::u32string> keyword_words(std::string_view keyword) {
    std::vector<std::u32string> words;
    const auto code_points = utf8_decode(keyword);
    if (!code_points)
        return words;
    std::u32string word;
    for (const char32_t c : *code_points) {
        if (c == U' ' || c == U'\u3000') {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word.push_back(fold_case(c));
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    // A repeated word adds nothing to the match but would multiply its cost.
    std::vector<std::u32string> unique;
    std::unordered_set<std::u32string> seen;
    for (auto& w : words)
        if (seen.insert(w).second)
            unique.push_back(std::move(w));
    return unique;
}

}  // namespace lunvek::site
