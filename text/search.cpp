// Stepping searches: find_text, find_text_reverse and split_text.
#include <string_view>

#include "text/step_scan.h"
#include "text/text.h"

namespace lunvek {

using detail::BoundaryTracker;
using detail::find_at_boundary;
constexpr auto npos = std::string_view::npos;

int find_text(const Text& text, const Text& sub, int start, bool ignore_case) {
    const std::string_view view(text);
    const long long first = start < 1 ? 1 : start;
    if (first > static_cast<long long>(view.size()))
        return -1;
    if (sub.empty())
        return 1;
    const std::size_t from = static_cast<std::size_t>(first - 1);
    BoundaryTracker tracker(view, from);
    const std::size_t hit = find_at_boundary(view, from, sub, ignore_case, tracker);
    return hit == npos ? -1 : static_cast<int>(hit + 1);
}

int find_text_reverse(const Text& text, const Text& sub, std::optional<int> start, bool ignore_case) {
    std::size_t searched = text.size();
    if (start) {
        if (*start <= 1) {
            searched = 0;
        } else if (static_cast<std::size_t>(*start - 1) < searched) {
            searched = static_cast<std::size_t>(*start - 1);
        }
    }
    if (sub.empty())
        return searched > 0 ? 1 : -1;
    // Boundaries are counted from byte 1 whatever the start, so the scan runs forward and keeps the last match.
    const std::string_view view(text.data(), searched);
    BoundaryTracker tracker(view, 0);
    std::size_t last = npos;
    std::size_t from = 0;
    for (;;) {
        const std::size_t hit = find_at_boundary(view, from, sub, ignore_case, tracker);
        if (hit == npos)
            break;
        last = hit;
        from = hit + 1;
    }
    return last == npos ? -1 : static_cast<int>(last + 1);
}

TextArray split_text(const Text& text, const Text& separator) {
    TextArray pieces;
    if (text.empty())
        return pieces;
    if (separator.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    const std::string_view view(text);
    BoundaryTracker tracker(view, 0);
    std::size_t piece_start = 0;
    for (;;) {
        const std::size_t hit = find_at_boundary(view, piece_start, separator, false, tracker);
        if (hit == npos)
            break;
        pieces.emplace_back(view.substr(piece_start, hit - piece_start));
        piece_start = hit + separator.size();
        tracker.set_boundary(piece_start);
    }
    if (piece_start < view.size())
        pieces.emplace_back(view.substr(piece_start));
    return pieces;
}

}  // namespace lunvek
