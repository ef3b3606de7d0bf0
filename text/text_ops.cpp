// Byte-counted slicing, case changes and small text builders.
#include <algorithm>

#include "text/step_scan.h"
#include "text/text.h"

namespace lunvek {

int text_length(const Text& text) {
    return static_cast<int>(text.size());
}

Text text_left(const Text& text, int n) {
    if (n <= 0)
        return {};
    return text.substr(0, static_cast<std::size_t>(n));
}

Text text_right(const Text& text, int n) {
    if (n <= 0)
        return {};
    const std::size_t take = std::min(static_cast<std::size_t>(n), text.size());
    return text.substr(text.size() - take);
}

Text text_mid(const Text& text, int start, int n) {
    if (start < 1 || n <= 0 || static_cast<std::size_t>(start) > text.size())
        return {};
    return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n));
}

namespace {

// Changes ASCII letters only where they stand as characters of their own: the second byte of a double-byte
// character may look like a letter and must stay as it is.
template <char From, char To>
Text change_case(const Text& text) {
    Text result(text);
    const std::size_t size = result.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = result[i];
        if (detail::is_lead_byte(c)) {
            ++i;
        } else if (c >= From && c <= To) {
            result[i] = static_cast<char>(c ^ 0x20);
        }
    }
    return result;
}

}  // namespace

Text to_lower(const Text& text) {
    return change_case<'A', 'Z'>(text);
}
Text to_upper(const Text& text) {
    return change_case<'a', 'z'>(text);
}

// Only the low byte of the code counts, as in a conversion to a byte; a zero byte gives "".
Text char_from_code(int code) {
    const char byte = static_cast<char>(static_cast<unsigned char>(code & 0xFF));
    if (byte == 0)
        return {};
    return Text(1, byte);
}

Text blank_text(int n) {
    if (n < 1)
        return {};
    return Text(static_cast<std::size_t>(n), ' ');
}

}  // namespace lunvek
