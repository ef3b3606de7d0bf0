// RegexObject: compiles a pattern, runs it once over a subject text and answers questions about the matches
// by 1-based match and group numbers. Matching follows the scripting engine's rules (see pattern_translation.h);
// texts cross into the engine as UTF-16, so match offsets ("first index") count UTF-16 units.
#pragma once

#include <memory>
#include <optional>

#include "text/text.h"

namespace lunvek {

namespace regex_detail {
struct RunResult;
}

class RegexObject {
  public:
    // Runs `pattern` over `subject`. Options left out take the defaults: case ignored, multiline, global,
    // no quote marks. With quote_mark, every "#引号" in the pattern stands for a double quote.
    // Returns false only when the pattern cannot be compiled; a run with no match returns true.
    // A scan that exhausts the engine's work limits keeps the matches found before it.
    bool create(const Text& pattern, const Text& subject, std::optional<bool> case_sensitive = {},
                std::optional<bool> multiline = {}, std::optional<bool> global = {},
                std::optional<bool> quote_mark = {});

    void no_operation() const {}

    // The pattern the last create ran (quote marks in place); "" before the first create.
    Text pattern_text() const;

    // The kept subject with the last create's matches replaced; $1-$99, $&, $`, $' and $$ are expanded.
    // "" when the last create failed or there was none.
    Text replace(const Text& replacement) const;

    int match_count() const;
    int submatch_count() const;  // groups of the first match; 0 without a match

    // position receives the 0-based byte offset of the first occurrence of the returned text in the kept
    // subject, searched from the first byte of match n; -2 when none is found there. An empty text is found
    // at once (0) unless no byte is left to search. Without match n the search starts at byte 0.
    Text match_text(int n, int* position = nullptr) const;
    Text submatch_text(int n, int m, int* position = nullptr) const;

    // The engine's first index of match n: its 0-based offset in UTF-16 units; -1 when there is no match n.
    int first_index(int n) const;

  private:
    // Immutable once built, so copies share it freely (also across threads).
    std::shared_ptr<const regex_detail::RunResult> run_;
};

}  // namespace lunvek
