// Random texts against a byte-by-byte model of the stepping scan: the fast searches must agree with it on
// every text, including lone lead bytes at the end, and never read outside the text (run under ASan).
#include <gtest/gtest.h>

#include <random>

#include "text/extract.h"
#include "text/text.h"

namespace lunvek {
namespace {

// ---- the model: one character at a time, exactly as the stepping rule reads ----

bool is_lead(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}
char fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool model_equal_at(const Text& t, long p, const Text& s, bool ignore_case) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char a = t[static_cast<std::size_t>(p) + i];
        if (ignore_case ? fold(a) != fold(s[i]) : a != s[i])
            return false;
    }
    return true;
}

long model_step(const Text& t, long p) {
    return is_lead(t[static_cast<std::size_t>(p)]) ? 2 : 1;
}

int model_find(const Text& t, const Text& s, int start, bool ignore_case) {
    const long size = static_cast<long>(t.size());
    long p = start < 1 ? 0 : start - 1;
    if (p >= size)
        return -1;
    if (s.empty())
        return 1;
    for (long r = size - p; r >= static_cast<long>(s.size());) {
        if (model_equal_at(t, p, s, ignore_case))
            return static_cast<int>(p + 1);
        const long step = model_step(t, p);
        p += step;
        r -= step;
    }
    return -1;
}

int model_find_reverse(const Text& t, const Text& s, std::optional<int> start, bool ignore_case) {
    long length = static_cast<long>(t.size());
    if (start)
        length = *start <= 1 ? 0 : std::min<long>(*start - 1, length);
    if (s.empty())
        return length > 0 ? 1 : -1;
    int last = -1;
    for (long p = 0, r = length; r >= static_cast<long>(s.size());) {
        if (model_equal_at(t, p, s, ignore_case))
            last = static_cast<int>(p + 1);
        const long step = model_step(t, p);
        p += step;
        r -= step;
    }
    return last;
}

Text model_replace(const Text& t, const Text& s, const Text& with, int start, std::optional<int> count,
                   bool match_case) {
    const long size = static_cast<long>(t.size());
    const long first = start < 1 ? 1 : start;
    if (t.empty() || s.empty() || first - 1 >= size || (count && *count < 1))
        return t;
    Text out = t.substr(0, static_cast<std::size_t>(first - 1));
    long p = first - 1;
    int done = 0;
    while (size - p >= static_cast<long>(s.size()) && (!count || done < *count)) {
        if (model_equal_at(t, p, s, !match_case)) {
            out += with;
            p += static_cast<long>(s.size());
            ++done;
        } else {
            const long step = std::min(model_step(t, p), size - p);
            out += t.substr(static_cast<std::size_t>(p), static_cast<std::size_t>(step));
            p += step;
        }
    }
    if (p < size)
        out += t.substr(static_cast<std::size_t>(p));
    return out;
}

TextArray model_split(const Text& t, const Text& sep) {
    TextArray out;
    if (t.empty())
        return out;
    if (sep.empty())
        return {t};
    const long size = static_cast<long>(t.size());
    long p = 0;
    long piece = 0;
    while (size - p >= static_cast<long>(sep.size())) {
        if (model_equal_at(t, p, sep, false)) {
            out.push_back(t.substr(static_cast<std::size_t>(piece), static_cast<std::size_t>(p - piece)));
            p += static_cast<long>(sep.size());
            piece = p;
        } else {
            p += model_step(t, p);
        }
    }
    if (piece < size)
        out.push_back(t.substr(static_cast<std::size_t>(piece)));
    return out;
}

// Characters of the text, a lone lead byte at the end left out.
std::vector<Text> model_chars(const Text& t) {
    std::vector<Text> chars;
    for (std::size_t i = 0; i < t.size();) {
        if (is_lead(t[i])) {
            if (i + 1 == t.size())
                break;
            chars.push_back(t.substr(i, 2));
            i += 2;
        } else {
            chars.push_back(t.substr(i, 1));
            i += 1;
        }
    }
    return chars;
}

bool model_is_space(const Text& c) {
    return c == " " || c == "\xA1\xA1";
}

Text model_trim(const Text& t) {
    const auto chars = model_chars(t);
    std::size_t b = 0;
    std::size_t e = chars.size();
    while (b < e && model_is_space(chars[b]))
        ++b;
    while (e > b && model_is_space(chars[e - 1]))
        --e;
    Text out;
    for (std::size_t i = b; i < e; ++i)
        out += chars[i];
    return out;
}

Text model_remove_spaces(const Text& t) {
    Text out;
    for (const auto& c : model_chars(t)) {
        if (!model_is_space(c))
            out += c;
    }
    return out;
}

Text model_lower(const Text& t) {
    Text out = t;
    for (std::size_t i = 0; i < out.size(); i += is_lead(out[i]) ? 2 : 1) {
        if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = static_cast<char>(out[i] + 32);
    }
    return out;
}

// ---- random texts over a small alphabet, so that matches, pairs and spaces are frequent ----

class RandomTexts {
  public:
    explicit RandomTexts(unsigned seed) : engine_(seed) {}

    Text text(std::size_t max_length) {
        // '@' and '`' differ from 'A' and 'a' only in bit 0x20, like letter cases, and must never fold.
        static const char alphabet[] = {'a',  'A',    'b',    'B',    'a',    'A',    ' ',    ',',    '@',   '`',
                                        '\t', '\xA1', '\xD6', '\xD0', '\x81', '\xFF', '\xA1', '\xC1', '\xE1'};
        std::uniform_int_distribution<std::size_t> length(0, max_length);
        std::uniform_int_distribution<std::size_t> pick(0, sizeof(alphabet) - 1);
        Text t(length(engine_), ' ');
        for (char& c : t)
            c = alphabet[pick(engine_)];
        return t;
    }

    int number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }
    bool flag() { return number(0, 1) == 1; }

  private:
    std::mt19937 engine_;
};

std::string shown(const Text& t) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : t) {
        const auto b = static_cast<unsigned char>(c);
        out += {'\\', 'x', digits[b >> 4], digits[b & 15]};
    }
    return out;
}

constexpr int rounds = 20000;

TEST(SteppingFuzz, SearchesAgreeWithModel) {
    RandomTexts random(1);
    for (int i = 0; i < rounds; ++i) {
        // Long enough texts reach the vectorised part of the folded search.
        const Text t = random.text(i % 4 == 0 ? 80 : 12);
        const Text s = random.text(3);
        const int start = random.number(-2, static_cast<int>(t.size()) + 2);
        const bool ignore_case = random.flag();
        ASSERT_EQ(find_text(t, s, start, ignore_case), model_find(t, s, start, ignore_case))
            << shown(t) << " / " << shown(s) << " from " << start << " ic " << ignore_case;
        const std::optional<int> rstart = random.flag() ? std::optional<int>(start) : std::nullopt;
        ASSERT_EQ(find_text_reverse(t, s, rstart, ignore_case), model_find_reverse(t, s, rstart, ignore_case))
            << shown(t) << " / " << shown(s) << " before " << rstart.value_or(0) << " ic " << ignore_case;
    }
}

TEST(SteppingFuzz, ReplaceAndSplitAgreeWithModel) {
    RandomTexts random(2);
    for (int i = 0; i < rounds; ++i) {
        const Text t = random.text(i % 4 == 0 ? 80 : 12);
        const Text s = random.text(2);
        const Text with = random.text(2);
        const int start = random.number(-1, static_cast<int>(t.size()) + 1);
        const std::optional<int> count = random.flag() ? std::optional<int>(random.number(-1, 4)) : std::nullopt;
        const bool match_case = random.flag();
        ASSERT_EQ(replace_subtext(t, s, with, start, count, match_case),
                  model_replace(t, s, with, start, count, match_case))
            << shown(t) << " / " << shown(s) << " -> " << shown(with) << " from " << start;
        ASSERT_EQ(split_text(t, s), model_split(t, s)) << shown(t) << " / " << shown(s);
    }
}

TEST(SteppingFuzz, SpacesAndCaseAgreeWithModel) {
    RandomTexts random(3);
    for (int i = 0; i < rounds; ++i) {
        const Text t = random.text(16);
        ASSERT_EQ(trim_both_ends(t), model_trim(t)) << shown(t);
        ASSERT_EQ(remove_all_spaces(t), model_remove_spaces(t)) << shown(t);
        ASSERT_EQ(to_lower(t), model_lower(t)) << shown(t);
        ASSERT_EQ(to_upper(to_lower(t)), to_upper(t)) << shown(t);
    }
}

// all_texts_between against the recursive description, written as a recursion over a short text.
int model_all_between(const Text& t, const Text& left, const Text& right, TextArray& out, bool match_case,
                      int max_length, int start) {
    const int p1 = model_find(t, left, start, !match_case);
    if (p1 == -1)
        return 0;
    const int p2 = model_find(t, right, p1 + static_cast<int>(left.size()), !match_case);
    if (p2 == -1)
        return 0;
    const int from = p1 + static_cast<int>(left.size());
    const Text item = model_trim(from <= static_cast<int>(t.size()) && p2 > from
                                     ? t.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(p2 - from))
                                     : Text());
    if (item.empty() || (max_length != 0 && static_cast<int>(item.size()) > max_length))
        return 0;
    out.push_back(item);
    model_all_between(t, left, right, out, match_case, max_length, p2);
    return static_cast<int>(out.size());
}

TEST(SteppingFuzz, AllTextsBetweenAgreesWithRecursion) {
    RandomTexts random(4);
    for (int i = 0; i < rounds; ++i) {
        const Text t = random.text(40);
        Text left = random.text(2);
        if (left.empty())
            left = "a";
        const Text right = random.text(2);
        const bool match_case = random.flag();
        const int max_length = random.number(0, 3);
        const int start = random.number(0, 5);
        TextArray expected;
        const int expected_count = model_all_between(t, left, right, expected, match_case, max_length, start);
        TextArray out{"stale"};
        ASSERT_EQ(all_texts_between(t, left, right, out, match_case, max_length, {}, {}, false, false, start),
                  expected_count)
            << shown(t) << " / " << shown(left) << " / " << shown(right);
        ASSERT_EQ(out, expected) << shown(t) << " / " << shown(left) << " / " << shown(right);
    }
}

}  // namespace
}  // namespace lunvek
