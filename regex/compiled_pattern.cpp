// PCRE2 calls for RegexObject. The library runs without UTF: code page 936 has no character beyond the BMP,
// so every character is one unit, and the UTF machinery (validity checks, surrogate handling) only costs time.
#define PCRE2_CODE_UNIT_WIDTH 16
#include "regex/compiled_pattern.h"

#include <pcre2.h>

#include <algorithm>

#include "regex/pattern_translation.h"

namespace lunvek::regex_detail {

class CompiledPattern {
  public:
    explicit CompiledPattern(pcre2_code* code) : code_(code) {
        std::uint32_t count = 0;
        pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &count);
        group_count_ = static_cast<int>(count);
    }
    ~CompiledPattern() { pcre2_code_free(code_); }
    CompiledPattern(const CompiledPattern&) = delete;
    CompiledPattern& operator=(const CompiledPattern&) = delete;

    const pcre2_code* code() const { return code_; }
    int group_count() const { return group_count_; }

  private:
    pcre2_code* code_;
    int group_count_ = 0;
};

namespace {

// Work limits. Each search call may spend a budget that grows with the subject, so a linear scan of a large
// page always fits while a pattern that retries a long stretch from every start position is cut off.
constexpr std::uint32_t minimum_match_limit = 10'000'000;
constexpr std::size_t match_limit_per_unit = 16;
constexpr std::uint32_t depth_limit = 1'000'000;     // interpreter only
constexpr std::uint32_t heap_limit_kib = 64 * 1024;  // interpreter only
// The JIT stack starts small and may grow to this; patterns whose backtracking needs more fail quietly.
constexpr std::size_t jit_stack_start = 32 * 1024;
constexpr std::size_t jit_stack_max = 16 * 1024 * 1024;

std::uint32_t match_limit_for(std::size_t units) {
    const std::size_t scaled = units * match_limit_per_unit;
    return static_cast<std::uint32_t>(std::clamp<std::size_t>(scaled, minimum_match_limit, 0xFFFFFFFFu));
}

// A match context and JIT stack for the calling thread, made on first use.
class ThreadMatchResources {
  public:
    ThreadMatchResources() {
        context_ = pcre2_match_context_create(nullptr);
        stack_ = pcre2_jit_stack_create(jit_stack_start, jit_stack_max, nullptr);
        if (context_ != nullptr) {
            pcre2_set_depth_limit(context_, depth_limit);
            pcre2_set_heap_limit(context_, heap_limit_kib);
            if (stack_ != nullptr)
                pcre2_jit_stack_assign(context_, nullptr, stack_);
        }
    }
    ~ThreadMatchResources() {
        pcre2_jit_stack_free(stack_);
        pcre2_match_context_free(context_);
    }
    ThreadMatchResources(const ThreadMatchResources&) = delete;
    ThreadMatchResources& operator=(const ThreadMatchResources&) = delete;

    pcre2_match_context* context() const { return context_; }

  private:
    pcre2_match_context* context_ = nullptr;
    pcre2_jit_stack* stack_ = nullptr;
};

std::shared_ptr<const CompiledPattern> compile_uncached(std::u16string_view pattern, bool ignore_case, bool multiline) {
    const std::optional<TranslatedPattern> translated = translate_pattern(pattern, ignore_case, multiline);
    if (!translated)
        return nullptr;
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    if (context == nullptr)
        return nullptr;
    pcre2_set_newline(context, PCRE2_NEWLINE_LF);
    std::uint32_t options = PCRE2_MATCH_UNSET_BACKREF | PCRE2_NEVER_UTF | PCRE2_NEVER_BACKSLASH_C;
    if (ignore_case)
        options |= PCRE2_CASELESS;
    if (translated->needs_unicode_case)
        options |= PCRE2_UCP;
    int error = 0;
    PCRE2_SIZE error_offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated->pcre.data()), translated->pcre.size(),
                                     options, &error, &error_offset, context);
    pcre2_compile_context_free(context);
    if (code == nullptr)
        return nullptr;
    // Without JIT a page whose markup the pattern misses takes seconds to minutes; when the JIT cannot compile
    // the pattern, the interpreter runs it under the same limits.
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    return std::make_shared<const CompiledPattern>(code);
}

// The search worker compiles the same two patterns for every page; a few recent ones are kept per thread.
struct CacheEntry {
    std::u16string pattern;
    bool ignore_case;
    bool multiline;
    std::shared_ptr<const CompiledPattern> compiled;
};
constexpr std::size_t cache_size = 8;

}  // namespace

std::shared_ptr<const CompiledPattern> compile_pattern(std::u16string_view pattern, bool ignore_case, bool multiline) {
    thread_local std::vector<CacheEntry> cache;
    const auto hit = std::find_if(cache.begin(), cache.end(), [&](const CacheEntry& e) {
        return e.ignore_case == ignore_case && e.multiline == multiline && e.pattern == pattern;
    });
    if (hit != cache.end()) {
        std::rotate(cache.begin(), hit, hit + 1);
        return cache.front().compiled;
    }
    std::shared_ptr<const CompiledPattern> compiled = compile_uncached(pattern, ignore_case, multiline);
    if (compiled == nullptr)
        return nullptr;
    if (cache.size() == cache_size)
        cache.pop_back();
    cache.insert(cache.begin(), CacheEntry{std::u16string(pattern), ignore_case, multiline, compiled});
    return compiled;
}

bool runs_as_jit(const CompiledPattern& pattern) {
    std::size_t jit_size = 0;
    return pcre2_pattern_info(pattern.code(), PCRE2_INFO_JITSIZE, &jit_size) == 0 && jit_size > 0;
}

MatchSpans find_matches(const CompiledPattern& pattern, std::u16string_view subject, bool global) {
    thread_local ThreadMatchResources resources;
    MatchSpans spans;
    spans.group_count = pattern.group_count();
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(pattern.code(), nullptr);
    if (data == nullptr) {
        spans.stopped_by_limit = true;
        return spans;
    }
    pcre2_match_context* context = resources.context();
    if (context != nullptr)
        pcre2_set_match_limit(context, match_limit_for(subject.size()));
    const auto* units = reinterpret_cast<PCRE2_SPTR>(subject.data());
    const std::size_t pairs = static_cast<std::size_t>(spans.group_count) + 1;
    std::size_t offset = 0;
    while (offset <= subject.size()) {
        const int rc = pcre2_match(pattern.code(), units, subject.size(), offset, 0, data, context);
        if (rc == PCRE2_ERROR_NOMATCH)
            break;
        if (rc < 0) {  // a work limit, the JIT stack, or memory: keep what was found so far
            spans.stopped_by_limit = true;
            break;
        }
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
        for (std::size_t k = 0; k < 2 * pairs; ++k)
            spans.offsets.push_back(ovector[k] == PCRE2_UNSET ? MatchSpans::unset : ovector[k]);
        if (!global)
            break;
        offset = ovector[1] > ovector[0] ? ovector[1] : ovector[0] + 1;
    }
    pcre2_match_data_free(data);
    return spans;
}

}  // namespace lunvek::regex_detail
