// Reading numbers out of texts and writing them back, independent of the process locale.
#include <locale.h>
#include <algorithm>
#include <charconv>
#include <climits>
#include <clocale>
#include <cstdlib>

#include "text/step_scan.h"
#include "text/text.h"

namespace lunvek {

namespace {

// Reads a text character by character with full-width digits, signs and spaces folded to ASCII, so that
// numbers typed in full width read like ASCII ones. Any other double-byte character reads as 0x80, which ends
// every number.
class FoldedReader {
  public:
    explicit FoldedReader(const Text& text) : text_(&text) {}

    char peek() const {
        if (pos_ >= text_->size())
            return '\0';
        const char c = (*text_)[pos_];
        if (!detail::is_lead_byte(c))
            return c;
        if (pos_ + 1 >= text_->size())
            return static_cast<char>(0x80);
        const auto lead = static_cast<unsigned char>(c);
        const auto trail = static_cast<unsigned char>((*text_)[pos_ + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
            return static_cast<char>(trail - 0x80);
        if (lead == 0xA1 && trail == 0xA1)
            return ' ';
        if (lead == 0xA1 && trail == 0xAB)
            return '~';
        if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF))
            return '*';
        return static_cast<char>(0x80);
    }

    void next() { pos_ += detail::is_lead_byte((*text_)[pos_]) ? 2 : 1; }

    bool take(char wanted) {
        if (peek() != wanted)
            return false;
        next();
        return true;
    }

    void skip_white_space() {
        for (char c = peek(); c == ' ' || (c >= 0x09 && c <= 0x0D); c = peek())
            next();
    }

    // Appends the run of digits that follows to `out` (when given) and returns how many there were.
    std::size_t take_digits(Text* out) {
        std::size_t count = 0;
        for (char c = peek(); c >= '0' && c <= '9'; c = peek(), ++count) {
            if (out != nullptr)
                out->push_back(c);
            next();
        }
        return count;
    }

  private:
    const Text* text_;
    std::size_t pos_ = 0;
};

}  // namespace

// Values beyond the 32-bit range saturate at INT_MIN / INT_MAX, as the platform's atoi does.
int to_int(const Text& text) {
    FoldedReader reader(text);
    reader.skip_white_space();
    bool negative = false;
    if (!reader.take('+'))
        negative = reader.take('-');
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (char c = reader.peek(); c >= '0' && c <= '9'; c = reader.peek()) {
        value = std::min(value * 10 + (c - '0'), limit);
        if (value == limit)
            break;  // further digits cannot change a saturated value
        reader.next();
    }
    return static_cast<int>(negative ? -value : value);
}

double to_number(const Text& text) {
    FoldedReader reader(text);
    reader.skip_white_space();
    Text number;  // the number's own characters in ASCII, for strtod_l
    if (reader.peek() == '+' || reader.peek() == '-') {
        number.push_back(reader.peek());
        reader.next();
    }
    std::size_t digits = reader.take_digits(&number);
    if (reader.peek() == '.') {
        // "5." and ".5" are numbers, a lone "." is not: look ahead without losing the position.
        FoldedReader after_point = reader;
        after_point.next();
        Text fraction = ".";
        const std::size_t fraction_digits = after_point.take_digits(&fraction);
        if (digits + fraction_digits > 0) {
            number += fraction;
            digits += fraction_digits;
            reader = after_point;
        }
    }
    if (digits == 0)
        return 0.0;
    const char marker = reader.peek();
    if (marker == 'e' || marker == 'E' || marker == 'd' || marker == 'D') {
        FoldedReader exponent_reader = reader;
        exponent_reader.next();
        Text exponent = "e";
        if (exponent_reader.peek() == '+' || exponent_reader.peek() == '-') {
            exponent.push_back(exponent_reader.peek());
            exponent_reader.next();
        }
        if (exponent_reader.take_digits(&exponent) > 0)
            number += exponent;
    }
    // strtod_l in the "C" locale: the process locale (set by the window toolkit) may use a decimal comma.
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(number.c_str(), nullptr, c_locale);
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
