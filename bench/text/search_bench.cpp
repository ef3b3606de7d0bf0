// find_text over a 1 MB page with the sub-text absent, against memmem over the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>

#include "pages.h"

namespace lunvek::bench {
namespace {

const Text absent = "<td class=\"absent\">";

void memmem_absent(benchmark::State& state) {
    const Text& page = page_cp936(one_mb);
    for (auto _ : state) {
        benchmark::DoNotOptimize(::memmem(page.data(), page.size(), absent.data(), absent.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(memmem_absent);

void find_text_absent(benchmark::State& state) {
    const Text& page = page_cp936(one_mb);
    for (auto _ : state)
        benchmark::DoNotOptimize(find_text(page, absent));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(find_text_absent);

void find_text_absent_ignore_case(benchmark::State& state) {
    const Text& page = page_cp936(one_mb);
    const Text upper = "<TD CLASS=\"ABSENT\">";
    for (auto _ : state)
        benchmark::DoNotOptimize(find_text(page, upper, 1, true));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(find_text_absent_ignore_case);

}  // namespace
}  // namespace lunvek::bench
