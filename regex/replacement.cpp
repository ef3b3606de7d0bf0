// Replacement expansion for RegexObject::replace.
#include "regex/replacement.h"

namespace lunvek::regex_detail {

namespace {

bool is_digit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

void append_group(std::u16string& out, std::u16string_view subject, const std::size_t* match, int group) {
    const std::size_t start = match[2 * group];
    const std::size_t end = match[2 * group + 1];
    if (start != MatchSpans::unset)
        out.append(subject.substr(start, end - start));
}

void expand(std::u16string& out, std::u16string_view subject, const std::size_t* match, int groups,
            std::u16string_view replacement) {
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        const char16_t c = replacement[i];
        if (c != u'$' || i + 1 >= replacement.size()) {
            out += c;
            continue;
        }
        const char16_t next = replacement[i + 1];
        if (next == u'$') {
            out += u'$';
            ++i;
        } else if (next == u'&') {
            append_group(out, subject, match, 0);
            ++i;
        } else if (next == u'`') {
            out.append(subject.substr(0, match[0]));
            ++i;
        } else if (next == u'\'') {
            out.append(subject.substr(match[1]));
            ++i;
        } else if (is_digit(next)) {
            const int one = next - u'0';
            const bool has_second = i + 2 < replacement.size() && is_digit(replacement[i + 2]);
            const int two = has_second ? one * 10 + (replacement[i + 2] - u'0') : 0;
            if (has_second && two >= 1 && two <= groups) {
                append_group(out, subject, match, two);
                i += 2;
            } else if (one >= 1 && one <= groups) {
                append_group(out, subject, match, one);
                ++i;
            } else {
                out += c;  // "$0" and references to groups that do not exist stay literal
            }
        } else {
            out += c;
        }
    }
}

}  // namespace

std::u16string replace_matches(std::u16string_view subject, const MatchSpans& spans, std::u16string_view replacement) {
    std::u16string out;
    out.reserve(subject.size());
    std::size_t copied = 0;
    for (int k = 0; k < spans.match_count(); ++k) {
        const std::size_t* match = spans.match(k);
        out.append(subject.substr(copied, match[0] - copied));
        expand(out, subject, match, spans.group_count, replacement);
        copied = match[1];
    }
    out.append(subject.substr(copied));
    return out;
}

}  // namespace lunvek::regex_detail
