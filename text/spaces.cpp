// Space handling: a space is the byte 0x20 or the full-width space 0xA1 0xA1, nothing else.
// A lone lead byte at the very end of a text is half a character and is dropped by both operations.
#include <string_view>

#include "text/step_scan.h"
#include "text/text.h"

namespace lunvek {

namespace {

constexpr char full_width_space_byte = static_cast<char>(0xA1);

// Length of the space character at i (1 or 2), or 0 when the character at i is not a space.
std::size_t space_length(std::string_view text, std::size_t i) {
    if (text[i] == ' ')
        return 1;
    if (text[i] == full_width_space_byte && i + 1 < text.size() && text[i + 1] == full_width_space_byte)
        return 2;
    return 0;
}

std::size_t char_length(std::string_view text, std::size_t i) {
    return detail::is_lead_byte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

bool is_lone_lead(std::string_view text, std::size_t i) {
    return i + 1 == text.size() && detail::is_lead_byte(text[i]);
}

}  // namespace

Text trim_both_ends(const Text& text) {
    const std::string_view view(text);
    std::size_t begin = std::string_view::npos;
    std::size_t content_end = 0;  // end of the last character that is not a space
    std::size_t i = 0;
    while (i < view.size() && !is_lone_lead(view, i)) {
        const std::size_t plain_end = detail::next_space_or_lead(view, i);
        if (plain_end > i) {
            if (begin == std::string_view::npos)
                begin = i;
            i = plain_end;
            content_end = i;
            continue;
        }
        const std::size_t space = space_length(view, i);
        if (space != 0) {
            i += space;
            continue;
        }
        if (begin == std::string_view::npos)
            begin = i;
        i += char_length(view, i);
        content_end = i;
    }
    if (begin == std::string_view::npos)
        return {};
    return Text(view.substr(begin, content_end - begin));
}

Text remove_all_spaces(const Text& text) {
    const std::string_view view(text);
    Text result;
    result.reserve(view.size());
    std::size_t i = 0;
    std::size_t run_start = 0;  // start of the bytes not yet copied that are kept
    while (i < view.size()) {
        i = detail::next_space_or_lead(view, i);
        if (i == view.size() || is_lone_lead(view, i))
            break;
        const std::size_t space = space_length(view, i);
        if (space == 0) {
            i += char_length(view, i);
            continue;
        }
        result.append(view.substr(run_start, i - run_start));
        i += space;
        run_start = i;
    }
    result.append(view.substr(run_start, i - run_start));
    return result;
}

}  // namespace lunvek
