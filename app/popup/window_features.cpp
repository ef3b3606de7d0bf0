#include "app/popup/window_features.h"

#include <cctype>
#include <optional>
#include <string>

namespace lunvek {
namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_space(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A feature's value as browsers read it: no value, "yes" and "true" are true; otherwise the leading
// integer decides, and text without one is false.
bool value_is_true(std::string_view value) {
    const std::string v = lowered(trimmed(value));
    if (v.empty() || v == "yes" || v == "true")
        return true;
    std::size_t i = 0;
    if (i < v.size() && (v[i] == '+' || v[i] == '-'))
        ++i;
    for (; i < v.size() && std::isdigit(static_cast<unsigned char>(v[i])); ++i) {
        if (v[i] != '0')
            return true;
    }
    return false;
}

}  // namespace

bool features_ask_for_toolbar(std::string_view features) {
    if (trimmed(features).empty())
        return true;
    std::optional<bool> toolbar;  // the last mention wins
    while (!features.empty()) {
        const std::size_t comma = features.find(',');
        const std::string_view item = features.substr(0, comma);
        features = comma == std::string_view::npos ? std::string_view{} : features.substr(comma + 1);
        const std::size_t eq = item.find('=');
        const std::string name = lowered(trimmed(item.substr(0, eq)));
        if (name != "toolbar")
            continue;
        toolbar = eq == std::string_view::npos ? true : value_is_true(item.substr(eq + 1));
    }
    return toolbar.value_or(false);
}

}  // namespace lunvek
