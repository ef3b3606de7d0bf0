// Reads what a page asked for in the features text of its window.open call.
#pragma once

#include <string_view>

namespace lunvek {

// Whether a window opened with this features text gets a tool bar. An empty text asks for an ordinary
// browser window, which has one; a non-empty text gives a tool bar only where it names "toolbar" with a
// true value: no value, "yes", "true" or a non-zero number.
bool features_ask_for_toolbar(std::string_view features);

}  // namespace lunvek
