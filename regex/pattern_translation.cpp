// Pattern translation from the scripting engine's syntax to PCRE2 (16-bit, no UTF; see pattern_translation.h).
#include "regex/pattern_translation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace lunvek::regex_detail {

namespace {

struct Range {
    char32_t first;
    char32_t last;
};
using RangeSet = std::vector<Range>;

constexpr char32_t last_unit = 0xFFFF;

const RangeSet digit_set{{U'0', U'9'}};
const RangeSet word_set{{U'0', U'9'}, {U'A', U'Z'}, {U'_', U'_'}, {U'a', U'z'}};
const RangeSet space_set{{0x09, 0x0D}, {U' ', U' '}};

// Characters whose Unicode case partners differ from the scripting engine's (which compares upper-case forms
// and never pairs a non-ASCII character with an ASCII one). None of them exists in code page 936; they are
// kept out of classes and matched without case folding so that folding cannot drag in 'k', 's', 'ω' ...
constexpr std::array<char32_t, 6> odd_case_units{0x017F, 0x03F4, 0x1E9E, 0x2126, 0x212A, 0x212B};

bool is_odd_case(char32_t c) {
    return std::find(odd_case_units.begin(), odd_case_units.end(), c) != odd_case_units.end();
}

RangeSet complement(const RangeSet& set) {
    RangeSet out;
    char32_t next = 0;
    for (const Range& r : set) {
        if (r.first > next)
            out.push_back({next, r.first - 1});
        next = r.last + 1;
    }
    if (next <= last_unit)
        out.push_back({next, last_unit});
    return out;
}

RangeSet without_odd_case(const RangeSet& set) {
    RangeSet out;
    for (Range r : set) {
        for (char32_t odd : odd_case_units) {
            if (odd < r.first || odd > r.last)
                continue;
            if (odd > r.first)
                out.push_back({r.first, odd - 1});
            r.first = odd + 1;
        }
        if (r.first <= r.last)
            out.push_back(r);
    }
    return out;
}

RangeSet merged(RangeSet set) {
    std::sort(set.begin(), set.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
    RangeSet out;
    for (const Range& r : set) {
        if (!out.empty() && r.first <= out.back().last + 1)
            out.back().last = std::max(out.back().last, r.last);
        else
            out.push_back(r);
    }
    return out;
}

// Whether a set below 0x100 holds a character with another case (ASCII and Latin-1 letters).
bool has_case(const RangeSet& set) {
    const auto holds = [&](char32_t first, char32_t last) {
        return std::any_of(set.begin(), set.end(), [&](const Range& r) { return r.first <= last && r.last >= first; });
    };
    return holds(U'A', U'Z') || holds(U'a', U'z') || holds(0xAA, 0xAA) || holds(0xB5, 0xB5) || holds(0xBA, 0xBA) ||
           holds(0xC0, 0xFF);
}

bool is_digit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool is_ascii_letter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

int hex_value(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

void append_hex(std::u16string& out, char32_t c) {
    static constexpr char16_t digits[] = u"0123456789abcdef";
    out += u"\\x{";
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const unsigned d = (c >> shift) & 0xF;
        if (d != 0 || started || shift == 0) {
            out += digits[d];
            started = true;
        }
    }
    out += u'}';
}

enum class GroupKind { plain, lookahead, lookbehind };

// Counts capturing groups and tells whether any is named; both decide how "\N" and "\k" read.
struct GroupCensus {
    int captures = 0;
    bool named = false;
};

GroupCensus count_groups(std::u16string_view p) {
    GroupCensus census;
    bool in_class = false;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char16_t c = p[i];
        if (c == u'\\') {
            ++i;
        } else if (in_class) {
            if (c == u']')
                in_class = false;
        } else if (c == u'[') {
            in_class = true;
            if (i + 1 < p.size() && p[i + 1] == u'^')
                ++i;
            if (i + 1 < p.size() && p[i + 1] == u']')
                ++i, in_class = false;  // "[]" and "[^]" are whole classes
        } else if (c == u'(') {
            if (i + 1 >= p.size() || p[i + 1] != u'?') {
                ++census.captures;
            } else if (i + 3 < p.size() && p[i + 2] == u'<' && p[i + 3] != u'=' && p[i + 3] != u'!') {
                ++census.captures;
                census.named = true;
            }
        }
    }
    return census;
}

class Translator {
  public:
    Translator(std::u16string_view pattern, bool ignore_case, bool multiline)
        : p_(pattern), ignore_case_(ignore_case), multiline_(multiline), census_(count_groups(pattern)) {}

    std::optional<TranslatedPattern> run() {
        while (ok_ && i_ < p_.size())
            translate_item();
        if (!ok_ || !groups_.empty())
            return std::nullopt;
        return TranslatedPattern{std::move(out_), needs_unicode_case_};
    }

  private:
    char16_t peek(std::size_t ahead = 0) const { return i_ + ahead < p_.size() ? p_[i_ + ahead] : u'\0'; }
    bool at_end(std::size_t ahead = 0) const { return i_ + ahead >= p_.size(); }
    bool starts_with(std::u16string_view s) const { return p_.substr(i_).substr(0, s.size()) == s; }

    void fail() { ok_ = false; }

    void literal(char32_t c) {
        if (ignore_case_ && c >= 0x80)
            needs_unicode_case_ = true;
        if (ignore_case_ && is_odd_case(c)) {
            out_ += u"(?-i:";
            append_hex(out_, c);
            out_ += u')';
        } else if (is_ascii_letter(static_cast<char16_t>(c)) || is_digit(static_cast<char16_t>(c))) {
            out_ += static_cast<char16_t>(c);
        } else {
            append_hex(out_, c);
        }
        quantifiable_ = true;
    }

    // A set of the engine's own making (\d, \w, \s and their complements): ASCII-based, never case-folded.
    void escape_set(const RangeSet& set, bool negated) {
        const bool guard = ignore_case_ && &set == &word_set;
        if (guard)
            out_ += u"(?-i:";
        out_ += negated ? u"[^" : u"[";
        append_ranges(set);
        out_ += u']';
        if (guard)
            out_ += u')';
        quantifiable_ = true;
    }

    void append_ranges(const RangeSet& set) {
        for (const Range& r : set) {
            append_hex(out_, r.first);
            if (r.last != r.first) {
                out_ += u'-';
                append_hex(out_, r.last);
            }
        }
    }

    void word_boundary(bool inside) {
        // ASCII word characters only, whatever the case mode.
        static constexpr std::u16string_view w = u"[0-9A-Z_a-z]";
        std::u16string s = u"(?-i:";
        if (inside)
            s += u"(?<=" + std::u16string(w) + u")(?=" + std::u16string(w) + u")|(?<!" + std::u16string(w) + u")(?!" +
                 std::u16string(w) + u")";
        else
            s += u"(?<=" + std::u16string(w) + u")(?!" + std::u16string(w) + u")|(?<!" + std::u16string(w) + u")(?=" +
                 std::u16string(w) + u")";
        s += u')';
        out_ += s;
        quantifiable_ = false;
    }

    void translate_item() {
        const char16_t c = p_[i_];
        switch (c) {
            case u'\\':
                translate_escape();
                return;
            case u'(':
                open_group();
                return;
            case u')':
                if (groups_.empty())
                    return fail();
                quantifiable_ = groups_.back() != GroupKind::lookbehind;
                groups_.pop_back();
                out_ += u')';
                ++i_;
                return;
            case u'|':
                out_ += u'|';
                quantifiable_ = false;
                ++i_;
                return;
            case u'*':
            case u'+':
            case u'?':
                ++i_;
                return quantifier(std::u16string(1, c));
            case u'{': {
                const std::size_t length = braced_quantifier_length();
                if (length == 0) {
                    ++i_;
                    return literal(u'{');
                }
                const std::u16string text(p_.substr(i_, length));
                i_ += length;
                return quantifier(text);
            }
            case u'.':
                out_ += u'.';  // the newline convention is LF: "." stops at the line feed only
                quantifiable_ = true;
                ++i_;
                return;
            case u'^':
                out_ += multiline_ ? u"(?<![^\\n\\r])" : u"\\A";
                quantifiable_ = false;
                ++i_;
                return;
            case u'$':
                out_ += multiline_ ? u"(?![^\\n\\r])" : u"\\z";
                quantifiable_ = false;
                ++i_;
                return;
            case u'[':
                translate_class();
                return;
            default:
                ++i_;
                literal(c);
                return;
        }
    }

    void quantifier(const std::u16string& text) {
        if (!quantifiable_)
            return fail();  // also refuses "a**", "a*+" (possessive) and "(*VERB)"
        out_ += text;
        if (peek() == u'?') {
            out_ += u'?';
            ++i_;
        }
        quantifiable_ = false;
    }

    // Length of "{n}", "{n,}" or "{n,m}" at the current position; 0 when the brace starts no quantifier.
    std::size_t braced_quantifier_length() const {
        std::size_t k = 1;
        const auto digits = [&] {
            const std::size_t from = k;
            while (!at_end(k) && is_digit(peek(k)))
                ++k;
            return k > from;
        };
        if (!digits())
            return 0;
        if (peek(k) == u',') {
            ++k;
            digits();
        }
        return peek(k) == u'}' && !at_end(k) ? k + 1 : 0;
    }

    void open_group() {
        ++i_;
        quantifiable_ = false;
        if (peek() != u'?') {
            out_ += u'(';
            groups_.push_back(GroupKind::plain);
            return;
        }
        for (auto [opener, kind] : {std::pair{std::u16string_view(u"?:"), GroupKind::plain},
                                    std::pair{std::u16string_view(u"?="), GroupKind::lookahead},
                                    std::pair{std::u16string_view(u"?!"), GroupKind::lookahead},
                                    std::pair{std::u16string_view(u"?<="), GroupKind::lookbehind},
                                    std::pair{std::u16string_view(u"?<!"), GroupKind::lookbehind}}) {
            if (starts_with(opener)) {
                out_ += u'(';
                out_ += opener;
                i_ += opener.size();
                groups_.push_back(kind);
                return;
            }
        }
        if (peek(1) != u'<')
            return fail();
        i_ += 2;
        const std::optional<std::u16string> name = group_name();
        if (!name)
            return fail();
        out_ += u"(?<" + *name + u">";
        groups_.push_back(GroupKind::plain);
    }

    // Reads "name>" (the "<" already taken).
    std::optional<std::u16string> group_name() {
        std::u16string name;
        while (!at_end() && peek() != u'>') {
            const char16_t c = peek();
            if (!(is_ascii_letter(c) || c == u'_' || (is_digit(c) && !name.empty())))
                return std::nullopt;
            name += c;
            ++i_;
        }
        if (at_end() || name.empty())
            return std::nullopt;
        ++i_;
        return name;
    }

    // A legacy octal escape starting at the current digit: up to three digits, at most 0377.
    char32_t octal_escape() {
        char32_t value = peek() - u'0';
        ++i_;
        const int most = value <= 3 ? 2 : 1;
        for (int k = 0; k < most && !at_end() && peek() >= u'0' && peek() <= u'7'; ++k, ++i_)
            value = value * 8 + (peek() - u'0');
        return value;
    }

    // Escapes that mean one character, the same inside and outside classes. The backslash and the escape
    // letter are consumed by the caller only when it returns a value.
    std::optional<char32_t> character_escape(char16_t e) {
        switch (e) {
            case u'f':
                return 0x0C;
            case u'n':
                return 0x0A;
            case u'r':
                return 0x0D;
            case u't':
                return 0x09;
            case u'v':
                return 0x0B;
            case u'x':
                if (hex_value(peek(2)) >= 0 && hex_value(peek(3)) >= 0 && !at_end(3)) {
                    const char32_t v = hex_value(peek(2)) * 16 + hex_value(peek(3));
                    i_ += 2;
                    return v;
                }
                return U'x';
            case u'u':
                if (!at_end(5) && hex_value(peek(2)) >= 0 && hex_value(peek(3)) >= 0 && hex_value(peek(4)) >= 0 &&
                    hex_value(peek(5)) >= 0) {
                    const char32_t v = ((hex_value(peek(2)) * 16 + hex_value(peek(3))) * 16 + hex_value(peek(4))) * 16 +
                                       hex_value(peek(5));
                    i_ += 4;
                    return v;
                }
                return U'u';
            default:
                return std::nullopt;
        }
    }

    void translate_escape() {
        if (at_end(1))
            return fail();  // a lone backslash at the end
        const char16_t e = peek(1);
        switch (e) {
            case u'd':
            case u'D':
                i_ += 2;
                return escape_set(digit_set, e == u'D');
            case u'w':
            case u'W':
                i_ += 2;
                return escape_set(word_set, e == u'W');
            case u's':
            case u'S':
                i_ += 2;
                return escape_set(space_set, e == u'S');
            case u'b':
            case u'B':
                i_ += 2;
                return word_boundary(e == u'B');
            case u'c':
                if (is_ascii_letter(peek(2)) && !at_end(2)) {
                    const char32_t v = peek(2) % 32;
                    i_ += 3;
                    return literal(v);
                }
                ++i_;  // "\c" without a letter is a backslash, then a 'c'
                return literal(u'\\');
            case u'k':
                if (!census_.named) {
                    i_ += 2;
                    return literal(u'k');
                }
                if (peek(2) != u'<')
                    return fail();
                i_ += 3;
                if (const auto name = group_name()) {
                    out_ += u"\\k<" + *name + u">";
                    quantifiable_ = true;
                    return;
                }
                return fail();
            default:
                break;
        }
        if (is_digit(e)) {
            ++i_;
            if (e == u'0' && !is_digit(peek(1))) {
                ++i_;
                return literal(0);
            }
            // All the digits name a group when there are that many; otherwise a legacy octal escape or,
            // for 8 and 9, the digit itself.
            std::size_t k = 0;
            std::uint64_t number = 0;
            while (!at_end(k) && is_digit(peek(k)) && number < 100000)
                number = number * 10 + (peek(k++) - u'0');
            if (e != u'0' && number <= static_cast<std::uint64_t>(census_.captures)) {
                i_ += k;
                out_ += u"\\g{" + std::u16string(p_.substr(i_ - k, k)) + u"}";
                quantifiable_ = true;
                return;
            }
            if (e >= u'8') {
                ++i_;
                return literal(e);
            }
            return literal(octal_escape());
        }
        if (const auto v = character_escape(e)) {
            i_ += 2;
            return literal(*v);
        }
        i_ += 2;
        literal(e);  // an identity escape: "\/", "\.", "\a", "\Q" ... stand for the character
    }

    void translate_class() {
        ++i_;
        const bool negated = peek() == u'^' && !at_end();
        if (negated)
            ++i_;
        if (peek() == u']' && !at_end()) {
            ++i_;
            out_ += negated ? u"[\\x{0}-\\x{ffff}]" : u"(?!)";
            quantifiable_ = true;
            return;
        }
        RangeSet items;
        for (;;) {
            if (at_end())
                return fail();
            if (peek() == u']') {
                ++i_;
                break;
            }
            const std::optional<RangeSet> first = class_atom();
            if (!first)
                return fail();
            if (peek() == u'-' && !at_end(1) && peek(1) != u']') {
                ++i_;
                const std::optional<RangeSet> second = class_atom();
                if (!second)
                    return fail();
                const bool single_first = first->size() == 1 && (*first)[0].first == (*first)[0].last;
                const bool single_second = second->size() == 1 && (*second)[0].first == (*second)[0].last;
                if (single_first && single_second) {
                    if ((*first)[0].first > (*second)[0].first)
                        return fail();
                    add_user_range(items, {(*first)[0].first, (*second)[0].first});
                } else {
                    // A class escape at either end makes the '-' an ordinary character.
                    items.insert(items.end(), first->begin(), first->end());
                    items.push_back({U'-', U'-'});
                    items.insert(items.end(), second->begin(), second->end());
                }
                continue;
            }
            items.insert(items.end(), first->begin(), first->end());
        }
        emit_class(merged(std::move(items)), negated);
    }

    // Classes reaching past 0xFF are slow range lists in PCRE2; one that holds every character above 0xFF is
    // written as the opposite class of the few below it ("[\s\S]" for all), a fast table. Under case folding
    // that is the same class only when the few below have no case. Other classes leave out the odd-case
    // characters under case folding (see odd_case_units).
    void emit_class(const RangeSet& set, bool negated) {
        quantifiable_ = true;
        const bool holds_high =
            std::any_of(set.begin(), set.end(), [](const Range& r) { return r.first <= 0x100 && r.last == last_unit; });
        if (holds_high) {
            const RangeSet low = complement(set);
            if (!ignore_case_ || !has_case(low)) {
                if (low.empty()) {
                    out_ += negated ? u"(?!)" : u"[\\s\\S]";
                    return;
                }
                out_ += negated ? u"[" : u"[^";
                append_ranges(low);
                out_ += u']';
                return;
            }
        }
        const RangeSet listed = ignore_case_ ? without_odd_case(set) : set;
        if (listed.empty()) {  // only odd-case characters were listed, and those cannot occur
            out_ += negated ? u"[\\s\\S]" : u"(?!)";
            return;
        }
        out_ += negated ? u"[^" : u"[";
        append_ranges(listed);
        out_ += u']';
    }

    void add_user_range(RangeSet& items, Range r) {
        if (ignore_case_ && r.last >= 0x80)
            needs_unicode_case_ = true;
        items.push_back(r);
    }

    // One class member: a character (as a one-element set) or a class escape's set.
    std::optional<RangeSet> class_atom() {
        const char16_t c = peek();
        if (c != u'\\') {
            ++i_;
            return single(c);
        }
        if (at_end(1))
            return std::nullopt;
        const char16_t e = peek(1);
        switch (e) {
            case u'd':
                i_ += 2;
                return digit_set;
            case u'D':
                i_ += 2;
                return complement(digit_set);
            case u'w':
                i_ += 2;
                return word_set;
            case u'W':
                i_ += 2;
                return complement(word_set);
            case u's':
                i_ += 2;
                return space_set;
            case u'S':
                i_ += 2;
                return complement(space_set);
            default:
                break;
        }
        if (e == u'b') {
            i_ += 2;
            return single(0x08);
        }
        if (e == u'c') {
            const char16_t l = peek(2);
            if (!at_end(2) && (is_ascii_letter(l) || is_digit(l) || l == u'_')) {
                i_ += 3;
                return single(l % 32);
            }
            ++i_;
            return single(u'\\');
        }
        if (is_digit(e)) {
            ++i_;
            if (e >= u'8') {
                ++i_;
                return single(e);
            }
            return single(octal_escape());
        }
        if (const auto v = character_escape(e)) {
            i_ += 2;
            return single(*v);
        }
        i_ += 2;
        return single(e);
    }

    RangeSet single(char32_t c) {
        if (ignore_case_ && c >= 0x80)
            needs_unicode_case_ = true;
        return RangeSet{{c, c}};
    }

    std::u16string_view p_;
    std::size_t i_ = 0;
    bool ignore_case_;
    bool multiline_;
    GroupCensus census_;
    std::u16string out_;
    std::vector<GroupKind> groups_;
    bool quantifiable_ = false;
    bool needs_unicode_case_ = false;
    bool ok_ = true;
};

}  // namespace

std::optional<TranslatedPattern> translate_pattern(std::u16string_view pattern, bool ignore_case, bool multiline) {
    return Translator(pattern, ignore_case, multiline).run();
}

}  // namespace lunvek::regex_detail
