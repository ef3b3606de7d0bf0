// Internal: the character-stepping search shared by the stepping operations of text.h.
// A match may begin only at a character boundary counted from the first byte of the scan; instead of walking
// every byte, candidates come from a fast byte search and only their boundary is checked.
#pragma once

#include <cstddef>
#include <string_view>

namespace lunvek::detail {

inline bool is_lead_byte(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

inline char fold_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}

// Tells whether positions are character boundaries of a scan, for positions given in rising order.
// Each call looks back only as far as the last position it has decided, so a whole scan stays linear.
class BoundaryTracker {
  public:
    BoundaryTracker(std::string_view text, std::size_t scan_start) : text_(text), known_(scan_start) {}

    // pos must not lie before the last boundary this tracker has settled on.
    bool is_boundary(std::size_t pos) {
        // A byte below 0x80 is a single-byte character or the second byte of a pair: either way a character
        // ends there. From the boundary after it, every byte up to pos is a lead byte and pairs up.
        std::size_t run_start = pos;
        while (run_start > known_ && is_lead_byte(text_[run_start - 1]))
            --run_start;
        const bool boundary = (pos - run_start) % 2 == 0;
        known_ = boundary ? pos : pos + 1;
        return boundary;
    }

    // A boundary the caller knows of (the end of a consumed match).
    void set_boundary(std::size_t pos) { known_ = pos; }

  private:
    std::string_view text_;
    std::size_t known_;
};

// First position at or after `from` holding a 0x20 byte or a byte of 0x80 or more (text.size() when none):
// everything before it is single-byte characters that are not spaces.
std::size_t next_space_or_lead(std::string_view text, std::size_t from);

// First position p in [from, text.size()) with text[p, p + sub.size()) equal to sub (ASCII letters folded when
// ignore_case), without regard to boundaries; npos when there is none. sub must not be empty.
std::size_t find_bytes(std::string_view text, std::size_t from, std::string_view sub, bool ignore_case);

// First occurrence at or after `from` that begins at a boundary of `tracker`'s scan; npos when there is none.
inline std::size_t find_at_boundary(std::string_view text, std::size_t from, std::string_view sub, bool ignore_case,
                                    BoundaryTracker& tracker) {
    for (;;) {
        const std::size_t candidate = find_bytes(text, from, sub, ignore_case);
        if (candidate == std::string_view::npos || tracker.is_boundary(candidate))
            return candidate;
        from = candidate + 1;
    }
}

}  // namespace lunvek::detail
