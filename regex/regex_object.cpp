// RegexObject: one run of a pattern over a subject, kept as an immutable result that copies share.
#include "regex/regex_object.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "regex/compiled_pattern.h"
#include "regex/engine_units.h"
#include "regex/replacement.h"
#include "text/encoding.h"

namespace lunvek {

namespace regex_detail {

// The kept subject in both forms. Each UTF-16 unit comes from one character of the bytes: a lead byte 0x81 to
// 0xFE with a trail byte 0x40 to 0xFE (not 0x7F) makes one, every other byte makes one alone (a lead byte
// without its trail becomes the substitution character).
class Subject {
  public:
    Subject(Text bytes, std::u16string units) : bytes(std::move(bytes)), units(std::move(units)) {}

    const Text bytes;
    const std::u16string units;

    // Byte offset of the character that became unit `unit`.
    std::size_t byte_offset(std::size_t unit) const {
        std::call_once(indexed_, [this] { build_checkpoints(); });
        std::size_t at = checkpoints_[std::min(unit / checkpoint_step, checkpoints_.size() - 1)];
        for (std::size_t k = std::min(unit / checkpoint_step, checkpoints_.size() - 1) * checkpoint_step;
             k < unit && at < bytes.size(); ++k)
            at += character_length(at);
        return at;
    }

  private:
    static constexpr std::size_t checkpoint_step = 1024;

    std::size_t character_length(std::size_t at) const {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x81 || lead == 0xFF || at + 1 >= bytes.size())
            return 1;
        const auto trail = static_cast<unsigned char>(bytes[at + 1]);
        return trail >= 0x40 && trail != 0x7F && trail != 0xFF ? 2 : 1;
    }

    void build_checkpoints() const {
        std::size_t at = 0;
        for (std::size_t k = 0; at < bytes.size(); ++k) {
            if (k % checkpoint_step == 0)
                checkpoints_.push_back(at);
            at += character_length(at);
        }
        if (checkpoints_.empty())
            checkpoints_.push_back(0);
    }

    mutable std::once_flag indexed_;
    mutable std::vector<std::size_t> checkpoints_;
};

struct RunResult {
    Text pattern;  // after quote marks were put in
    std::shared_ptr<const Subject> subject;
    bool ran = false;  // false: the pattern was refused
    MatchSpans spans;
};

}  // namespace regex_detail

namespace {

using regex_detail::MatchSpans;
using regex_detail::RunResult;
using regex_detail::Subject;

// Double quotes cannot be written inside the program's quoted pattern texts, so callers write this instead.
const Text quote_marker = "#\xD2\xFD\xBA\xC5";  // "#引号" in code page 936

// The search worker runs two patterns over each page: the second run reuses the first one's conversion.
std::shared_ptr<const Subject> subject_for(const Text& subject) {
    thread_local std::weak_ptr<const Subject> last;
    if (std::shared_ptr<const Subject> previous = last.lock(); previous && previous->bytes == subject)
        return previous;
    auto converted = std::make_shared<const Subject>(subject, regex_detail::to_engine_units(subject));
    last = converted;
    return converted;
}

// A position is the 0-based byte offset of the first occurrence of the text in the kept subject, searched from
// the first byte of the match (-2 when not found there). The search must start on that character: begun at
// byte (first index - 1), inside an earlier double-byte character, it steps out of line and misses the match.
int position_of(const RunResult* run, const Text& text, std::size_t first_index) {
    static const Text nothing;
    if (run == nullptr)
        return find_text(nothing, text) - 1;
    const std::size_t start = run->subject->byte_offset(first_index);
    return find_text(run->subject->bytes, text, static_cast<int>(start) + 1) - 1;
}

Text span_text(const RunResult& run, const std::size_t* match, int group) {
    const std::size_t start = match[2 * group];
    if (start == MatchSpans::unset)
        return {};
    return utf16_to_cp936(std::u16string_view(run.subject->units).substr(start, match[2 * group + 1] - start));
}

}  // namespace

bool RegexObject::create(const Text& pattern, const Text& subject, std::optional<bool> case_sensitive,
                         std::optional<bool> multiline, std::optional<bool> global, std::optional<bool> quote_mark) {
    const bool ignore_case = !case_sensitive.value_or(false);
    auto run = std::make_shared<RunResult>();
    run->pattern =
        quote_mark.value_or(false) ? replace_subtext(pattern, quote_marker, "\"", 1, std::nullopt, true) : pattern;
    run->subject = subject_for(subject);
    if (const auto compiled =
            regex_detail::compile_pattern(cp936_to_utf16(run->pattern), ignore_case, multiline.value_or(true))) {
        run->spans = regex_detail::find_matches(*compiled, run->subject->units, global.value_or(true));
        run->ran = true;
    }
    run_ = std::move(run);
    return run_->ran;
}

Text RegexObject::pattern_text() const {
    return run_ ? run_->pattern : Text();
}

Text RegexObject::replace(const Text& replacement) const {
    if (!run_ || !run_->ran)
        return {};
    return utf16_to_cp936(
        regex_detail::replace_matches(run_->subject->units, run_->spans, cp936_to_utf16(replacement)));
}

int RegexObject::match_count() const {
    return run_ ? run_->spans.match_count() : 0;
}

int RegexObject::submatch_count() const {
    return match_count() > 0 ? run_->spans.group_count : 0;
}

Text RegexObject::match_text(int n, int* position) const {
    Text text;
    std::size_t first_index = 0;
    if (n >= 1 && n <= match_count()) {
        const std::size_t* match = run_->spans.match(n - 1);
        text = span_text(*run_, match, 0);
        first_index = match[0];
    }
    if (position != nullptr)
        *position = position_of(run_.get(), text, first_index);
    return text;
}

int RegexObject::first_index(int n) const {
    return n >= 1 && n <= match_count() ? static_cast<int>(run_->spans.match(n - 1)[0]) : -1;
}

Text RegexObject::submatch_text(int n, int m, int* position) const {
    Text text;
    std::size_t first_index = 0;
    if (n >= 1 && n <= match_count()) {
        const std::size_t* match = run_->spans.match(n - 1);
        if (m >= 1 && m <= run_->spans.group_count)
            text = span_text(*run_, match, m);
        first_index = match[0];
    }
    if (position != nullptr)
        *position = position_of(run_.get(), text, first_index);
    return text;
}

}  // namespace lunvek
