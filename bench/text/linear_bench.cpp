// The whole-page operations at 1 MB and 8 MB, matches spread throughout: time per byte must not grow.
#include <benchmark/benchmark.h>

#include "pages.h"
#include "text/extract.h"

namespace lunvek::bench {
namespace {

template <typename Operation>
void run_over_page(benchmark::State& state, Operation operation) {
    const Text& page = page_cp936(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        operation(page);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void replace_subtext_page(benchmark::State& state) {
    run_over_page(state, [](const Text& page) { benchmark::DoNotOptimize(replace_subtext(page, "<td>", "<TD>")); });
}
BENCHMARK(replace_subtext_page)->Arg(one_mb)->Arg(8 * one_mb)->Unit(benchmark::kMicrosecond);

void split_text_page(benchmark::State& state) {
    run_over_page(state, [](const Text& page) { benchmark::DoNotOptimize(split_text(page, "\r\n")); });
}
BENCHMARK(split_text_page)->Arg(one_mb)->Arg(8 * one_mb)->Unit(benchmark::kMicrosecond);

void all_texts_between_page(benchmark::State& state) {
    TextArray out;
    run_over_page(
        state, [&out](const Text& page) { benchmark::DoNotOptimize(all_texts_between(page, "<td>", "</td>", out)); });
}
BENCHMARK(all_texts_between_page)->Arg(one_mb)->Arg(8 * one_mb)->Unit(benchmark::kMicrosecond);

void remove_all_spaces_page(benchmark::State& state) {
    run_over_page(state, [](const Text& page) { benchmark::DoNotOptimize(remove_all_spaces(page)); });
}
BENCHMARK(remove_all_spaces_page)->Arg(one_mb)->Arg(8 * one_mb)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lunvek::bench
