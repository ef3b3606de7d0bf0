// replace_subtext (stepping) and replace_text_at (plain bytes).
#include <string_view>

#include "text/step_scan.h"
#include "text/text.h"

namespace lunvek {

Text replace_subtext(const Text& text, const Text& sub, const Text& replacement, int start, std::optional<int> count,
                     bool match_case) {
    const long long first = start < 1 ? 1 : start;
    // A count below 1 allows no replacement at all ("at most count of them").
    if (text.empty() || sub.empty() || first - 1 >= static_cast<long long>(text.size()) || (count && *count < 1)) {
        return text;
    }
    const std::string_view view(text);
    const std::size_t from = static_cast<std::size_t>(first - 1);
    detail::BoundaryTracker tracker(view, from);
    Text result;
    result.reserve(text.size());
    result.append(view.substr(0, from));
    std::size_t copied_to = from;
    long long replaced = 0;
    while (!count || replaced < *count) {
        const std::size_t hit = detail::find_at_boundary(view, copied_to, sub, !match_case, tracker);
        if (hit == std::string_view::npos)
            break;
        result.append(view.substr(copied_to, hit - copied_to));
        result.append(replacement);
        copied_to = hit + sub.size();
        tracker.set_boundary(copied_to);
        ++replaced;
    }
    result.append(view.substr(copied_to));
    return result;
}

Text replace_text_at(const Text& text, int start, int length, const Text& replacement) {
    const std::size_t size = text.size();
    const std::size_t at = start < 1 ? 0 : std::min(static_cast<std::size_t>(start - 1), size);
    const std::size_t removed = length < 0 ? 0 : std::min(static_cast<std::size_t>(length), size - at);
    Text result;
    result.reserve(size - removed + replacement.size());
    result.append(text, 0, at);
    result.append(replacement);
    result.append(text, at + removed, Text::npos);
    return result;
}

}  // namespace lunvek
