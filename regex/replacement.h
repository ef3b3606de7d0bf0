// Replacement over the matches of one run, in the scripting engine's replacement syntax.
#pragma once

#include <string>
#include <string_view>

#include "regex/compiled_pattern.h"

namespace lunvek::regex_detail {

// The subject with each match replaced by the expanded replacement: "$$" is '$', "$&" the match, "$`" the
// text before it, "$'" the text after it, "$n" and "$nn" group n (1 to 99; "" when it took part in no match).
// "$nn" names group nn when it exists and group n otherwise; anything else after '$' stays as written.
std::u16string replace_matches(std::u16string_view subject, const MatchSpans& spans, std::u16string_view replacement);

}  // namespace lunvek::regex_detail
