// Reading numbers out of texts and writing them back, independent of the process locale.
#include <locale.h>
#include <charconv>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <string_view>

#include "text/step_scan.h"
#include "text/text.h"

namespace lunvek {

namespace {

bool may_belong_to_number(char c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9') ||
           c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// The leading part of the text with full-width digits, signs and spaces folded to ASCII. Folding stops at the
// first character that cannot be part of a number, so a long text costs no more than its number.
Text fold_number_prefix(const Text& text) {
    Text folded;
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        char c = text[i];
        if (detail::is_lead_byte(c)) {
            if (i + 1 >= size)
                break;
            const auto lead = static_cast<unsigned char>(c);
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
                c = static_cast<char>(trail - 0x80);
            } else if (lead == 0xA1 && trail == 0xA1) {
                c = ' ';
            } else if (lead == 0xA1 && trail == 0xAB) {
                c = '~';
            } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
                c = '*';
            } else {
                break;
            }
            i += 2;
        } else {
            ++i;
        }
        if (!may_belong_to_number(c))
            break;
        folded.push_back(c);
    }
    return folded;
}

std::size_t skip_white_space(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= 0x09 && s[i] <= 0x0D)))
        ++i;
    return i;
}

std::size_t skip_digits(std::string_view s, std::size_t i) {
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    return i;
}

}  // namespace

// Values beyond the 32-bit range saturate at INT_MIN / INT_MAX, as the platform's atoi does.
int to_int(const Text& text) {
    const Text folded = fold_number_prefix(text);
    const std::string_view s(folded);
    std::size_t i = skip_white_space(s);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > limit) {
            value = limit;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

double to_number(const Text& text) {
    Text folded = fold_number_prefix(text);
    const std::string_view s(folded);
    const std::size_t begin = skip_white_space(s);
    std::size_t i = begin;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const std::size_t int_end = skip_digits(s, i);
    bool has_digits = int_end > i;
    i = int_end;
    if (i < s.size() && s[i] == '.') {
        const std::size_t frac_end = skip_digits(s, i + 1);
        if (has_digits || frac_end > i + 1) {
            has_digits = has_digits || frac_end > i + 1;
            i = frac_end;
        }
    }
    if (!has_digits)
        return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        const std::size_t exp_end = skip_digits(s, j);
        if (exp_end > j) {
            folded[i] = 'e';
            i = exp_end;
        }
    }
    folded.resize(i);
    // strtod_l in the "C" locale: the process locale (set by the window toolkit) may use a decimal comma.
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(folded.c_str() + begin, nullptr, c_locale);
}

Text number_to_text(int value) {
    return std::to_string(value);
}

Text number_to_text(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 13);
    return Text(buffer, result.ptr);
}

Text hex_text(int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), static_cast<unsigned>(value), 16);
    Text digits(buffer, result.ptr);
    for (char& c : digits)
        c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 0x20 : c);
    return digits;
}

}  // namespace lunvek
