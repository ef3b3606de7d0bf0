// Raw byte scans under the stepping operations: substring candidates (memmem for exact matching, a vectorised
// first/last byte filter for ASCII-folded matching) and the skip over plain ASCII runs.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "text/step_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lunvek::detail {

namespace {

bool equal_folded(const char* text, const char* folded_sub, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (fold_ascii(text[i]) != folded_sub[i])
            return false;
    }
    return true;
}

// Folds the needle once so that each comparison folds only the text side.
struct FoldedNeedle {
    explicit FoldedNeedle(std::string_view sub) : size(sub.size()) {
        if (size <= sizeof(small)) {
            data = small;
        } else {
            heap.resize(size);
            data = heap.data();
        }
        for (std::size_t i = 0; i < size; ++i)
            data[i] = fold_ascii(sub[i]);
    }
    FoldedNeedle(const FoldedNeedle&) = delete;  // data may point into the object itself
    FoldedNeedle& operator=(const FoldedNeedle&) = delete;

    char small[64];
    std::string heap;
    char* data;
    std::size_t size;
};

bool is_lower_letter(char c) {
    return c >= 'a' && c <= 'z';
}

std::size_t find_folded(std::string_view text, std::size_t from, std::string_view sub) {
    const FoldedNeedle needle(sub);
    const std::size_t m = needle.size;
    if (text.size() < m || from > text.size() - m)
        return std::string_view::npos;
    const std::size_t last_start = text.size() - m;  // last position where a match fits
    const char* t = text.data();
    const char first = needle.data[0];
    const char last = needle.data[m - 1];
    std::size_t i = from;
#if defined(__SSE2__)
    // Setting bit 0x20 maps 'A'..'Z' onto 'a'..'z'; for a letter in the needle nothing else maps onto it.
    const __m128i first_mask = _mm_set1_epi8(is_lower_letter(first) ? 0x20 : 0);
    const __m128i last_mask = _mm_set1_epi8(is_lower_letter(last) ? 0x20 : 0);
    const __m128i first_value = _mm_set1_epi8(first);
    const __m128i last_value = _mm_set1_epi8(last);
    while (i + 16 <= last_start + 1) {
        const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i)), first_mask);
        const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + m - 1)), last_mask);
        unsigned bits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first_value), _mm_cmpeq_epi8(b, last_value))));
        while (bits != 0) {
            const std::size_t p = i + static_cast<std::size_t>(__builtin_ctz(bits));
            if (m <= 2 || equal_folded(t + p + 1, needle.data + 1, m - 2))
                return p;
            bits &= bits - 1;
        }
        i += 16;
    }
#endif
    for (; i <= last_start; ++i) {
        if (fold_ascii(t[i]) == first && equal_folded(t + i, needle.data, m))
            return i;
    }
    return std::string_view::npos;
}

// memmem over windows that double while nothing is found: the scan reads about as far as the next candidate, not
// to the end of the text on every call. Matters where memmem checks its whole range up front (sanitizer builds)
// and a scan meets many candidates that are not on a boundary.
std::size_t find_exact(std::string_view text, std::size_t from, std::string_view sub) {
    const std::size_t m = sub.size();
    std::size_t window = std::max<std::size_t>(4096, 2 * m);  // each window moves on by more than m
    for (std::size_t begin = from;;) {
        const std::size_t end = text.size() - begin <= window ? text.size() : begin + window;
        const void* hit = ::memmem(text.data() + begin, end - begin, sub.data(), m);
        if (hit != nullptr)
            return static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        if (end == text.size())
            return std::string_view::npos;
        begin = end - (m - 1);  // an occurrence may straddle the window's end
        if (window < (std::size_t{1} << 24))
            window *= 2;
    }
}

}  // namespace

std::size_t next_space_or_lead(std::string_view text, std::size_t from) {
    const char* t = text.data();
    const std::size_t size = text.size();
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(' ');
    for (; i + 16 <= size; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        const unsigned bits =
            static_cast<unsigned>(_mm_movemask_epi8(chunk) | _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, space)));
        if (bits != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(bits));
    }
#endif
    for (; i < size; ++i) {
        if (t[i] == ' ' || is_lead_byte(t[i]))
            return i;
    }
    return size;
}

std::size_t find_bytes(std::string_view text, std::size_t from, std::string_view sub, bool ignore_case) {
    if (from >= text.size() || sub.size() > text.size() - from)
        return std::string_view::npos;
    if (ignore_case)
        return find_folded(text, from, sub);
    return find_exact(text, from, sub);
}

}  // namespace lunvek::detail
