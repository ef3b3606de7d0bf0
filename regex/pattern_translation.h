// Translation of a pattern in the scripting engine's syntax (ECMAScript, legacy web forms included) into an
// equivalent PCRE2 pattern for the 16-bit library without UTF, where one code unit is one character.
//
// The rules kept: "." matches every character but the line feed; "^" and "$" match at line feeds and carriage
// returns in multiline mode and only at the ends otherwise; \d, \w, \s and \b are ASCII-only (\s is
// [ \t\n\v\f\r]); \cX, \xHH, \uHHHH and legacy octal escapes; an unknown escape stands for its character;
// "{" that starts no quantifier is literal; "[]" matches nothing and "[^]" anything; a back reference to
// a group that has not matched matches the empty text. PCRE2-only syntax ("(?i)", "(*VERB)", possessive
// quantifiers, \Q...\E, POSIX classes) is refused or taken literally, as the scripting engine would.
#pragma once

#include <optional>
#include <string>

namespace lunvek::regex_detail {

struct TranslatedPattern {
    std::u16string pcre;
    // Case-insensitive matching of characters beyond ASCII needs Unicode case folding. An ASCII-only pattern
    // does without it: no character of code page 936 folds to an ASCII letter.
    bool needs_unicode_case = false;
};

// nullopt when the pattern is not valid in the scripting engine's syntax.
std::optional<TranslatedPattern> translate_pattern(std::u16string_view pattern, bool ignore_case, bool multiline);

}  // namespace lunvek::regex_detail
