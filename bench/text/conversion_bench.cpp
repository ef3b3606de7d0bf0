// utf8_to_ansi of a 1 MB page against a raw ICU conversion of the same bytes into a ready buffer.
#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include "pages.h"
#include "text/encoding.h"

namespace lunvek::bench {
namespace {

void icu_convert_reference(benchmark::State& state) {
    const Text& page = page_utf8(one_mb);
    UErrorCode error = U_ZERO_ERROR;
    UConverter* utf8 = ucnv_open("UTF-8", &error);
    UConverter* cp936 = ucnv_open("windows-936-2000", &error);
    std::string out(page.size() + 16, '\0');
    for (auto _ : state) {
        error = U_ZERO_ERROR;
        char* target = out.data();
        const char* source = page.data();
        ucnv_convertEx(cp936, utf8, &target, out.data() + out.size(), &source, page.data() + page.size(), nullptr,
                       nullptr, nullptr, nullptr, true, true, &error);
        benchmark::DoNotOptimize(target);
    }
    if (U_FAILURE(error))
        state.SkipWithError(u_errorName(error));
    ucnv_close(utf8);
    ucnv_close(cp936);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(icu_convert_reference)->Unit(benchmark::kMicrosecond);

void utf8_to_ansi_page(benchmark::State& state) {
    const Text& page = page_utf8(one_mb);
    for (auto _ : state)
        benchmark::DoNotOptimize(utf8_to_ansi(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(utf8_to_ansi_page)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lunvek::bench
