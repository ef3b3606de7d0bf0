// PCRE2 (16-bit, JIT) behind RegexObject: compiled patterns, shared and cached per thread, and the global scan.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lunvek::regex_detail {

class CompiledPattern;

// Offsets in UTF-16 units of every match: for each match, (group_count + 1) pairs [start, end), the whole
// match first; a group that took part in no match has both offsets at `unset`.
struct MatchSpans {
    static constexpr std::size_t unset = static_cast<std::size_t>(-1);

    int group_count = 0;
    std::vector<std::size_t> offsets;
    bool stopped_by_limit = false;  // the scan ended early; the matches before that point are kept

    int match_count() const { return static_cast<int>(offsets.size() / (2 * (group_count + 1))); }
    const std::size_t* match(int index) const { return offsets.data() + 2 * (group_count + 1) * index; }
};

// The pattern in the scripting engine's syntax; nullptr when it is not valid there or PCRE2 refuses it.
std::shared_ptr<const CompiledPattern> compile_pattern(std::u16string_view pattern, bool ignore_case, bool multiline);

// Whether the pattern runs as JIT code (the interpreter is only a fallback for patterns the JIT refuses).
bool runs_as_jit(const CompiledPattern& pattern);

// Global: every non-overlapping match from left to right; an empty match moves the next search on by one unit.
MatchSpans find_matches(const CompiledPattern& pattern, std::u16string_view subject, bool global);

}  // namespace lunvek::regex_detail
