// Speed of the search worker's use of RegexObject: both expressions over a result page, every row's five
// cells read. References in the same run: node's RegExp and Python's re over the same saved page, each timed
// by its own script. At the end a table gives the ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "regex/regex_object.h"
#include "text/encoding.h"

namespace lunvek {
namespace {

const Text name_expression = "[\\s\\S]data-hash=.*?>(.*?)</h5>";
const Text detail_expression =
    "[\\s\\S]*?prop_val\">(.*?)</span>[\\s\\S]*?prop_val\">(.*?)</span>[\\s\\S]*?prop_val\">(.*?)</span>"
    "[\\s\\S]*?href=\"(.*?)\">";

std::string fixture_path(const std::string& name) {
    return std::string(REGEX_FIXTURES_DIR) + "/" + name;
}

const Text& page(const std::string& name) {
    static std::map<std::string, Text> pages;
    auto [it, inserted] = pages.try_emplace(name);
    if (inserted) {
        std::ifstream in(fixture_path(name), std::ios::binary);
        std::ostringstream utf8;
        utf8 << in.rdbuf();
        it->second = utf8_to_ansi(utf8.str());
    }
    return it->second;
}

std::map<std::string, double> seconds_per_pass;  // by benchmark name, for the ratio table

// What the search worker does with one page.
int read_all_rows(const Text& text) {
    RegexObject names;
    RegexObject details;
    names.create(name_expression, text);
    details.create(detail_expression, text);
    int cells = 0;
    for (int j = 1; j <= names.match_count(); ++j) {
        benchmark::DoNotOptimize(names.submatch_text(j, 1));
        for (int m = 1; m <= 4; ++m)
            benchmark::DoNotOptimize(details.submatch_text(j, m));
        cells += 5;
    }
    return cells;
}

void worker_page(benchmark::State& state, const std::string& name, int rows) {
    const Text& text = page(name);
    if (read_all_rows(text) != rows * 5)
        state.SkipWithError("the page does not give the expected rows");
    for (auto _ : state)
        benchmark::DoNotOptimize(read_all_rows(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["ns_per_byte"] = benchmark::Counter(
        static_cast<double>(text.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A 5 MB page on one line with result tags but no "</h5>" and no link: without work limits both expressions
// would rescan the rest of the line from every start.
void one_line_page(benchmark::State& state) {
    Text text;
    const Text item = "<div class=\"search-item\" data-hash=\"0123456789abcdef\">name prop_val\">2015-01-17</span> ";
    while (text.size() < 5'000'000)
        text += item;
    for (auto _ : state)
        benchmark::DoNotOptimize(read_all_rows(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// Runs a reference script once; it times its own passes and prints "seconds rows".
void reference(benchmark::State& state, const std::string& command, const std::string& name, int rows) {
    for (auto _ : state) {
        const std::string full = command + " '" + fixture_path(name) + "' " + std::to_string(state.range(0));
        FILE* pipe = popen(full.c_str(), "r");
        double seconds = 0;
        int found = 0;
        const bool read = pipe != nullptr && std::fscanf(pipe, "%lf %d", &seconds, &found) == 2;
        const int status = pipe != nullptr ? pclose(pipe) : -1;
        if (!read || status != 0 || found != rows) {
            state.SkipWithError(("reference failed: " + full).c_str());
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void register_benchmarks() {
    const std::string node = "node '" REGEX_BENCH_DIR "/reference.js'";
    const std::string python = "python3 '" REGEX_BENCH_DIR "/reference.py'";
    benchmark::RegisterBenchmark("worker_page/75KB_20_rows", [](benchmark::State& s) {
        worker_page(s, "page_20.html", 20);
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("worker_page/1MB_300_rows", [](benchmark::State& s) {
        worker_page(s, "page_300.html", 300);
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("worker_page/5MB_one_line_without_name_end", one_line_page)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("node_regexp/75KB_20_rows",
                                 [node](benchmark::State& s) { reference(s, node, "page_20.html", 20); })
        ->Arg(2000)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("python_re/75KB_20_rows",
                                 [python](benchmark::State& s) { reference(s, python, "page_20.html", 20); })
        ->Arg(50)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}

// Collects each run's time per iteration for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                seconds_per_pass[run.benchmark_name()] = run.GetAdjustedRealTime() * 1e-6;
        ConsoleReporter::ReportRuns(runs);
    }
};

void print_ratios() {
    const auto time_of = [](const std::string& prefix) {
        for (const auto& [name, seconds] : seconds_per_pass)
            if (name.rfind(prefix, 0) == 0)
                return seconds;
        return 0.0;
    };
    const double ours = time_of("worker_page/75KB");
    const double big = time_of("worker_page/1MB");
    const double node = time_of("node_regexp/75KB");
    const double python = time_of("python_re/75KB");
    std::printf("\nratios (same run, same page)\n");
    if (ours > 0 && node > 0)
        std::printf("  node RegExp / RegexObject   %7.1fx  (target >= 5x)\n", node / ours);
    if (ours > 0 && python > 0)
        std::printf("  Python re / RegexObject     %7.1fx  (target >= 100x)\n", python / ours);
    const double small_bytes = static_cast<double>(page("page_20.html").size());
    const double big_bytes = static_cast<double>(page("page_300.html").size());
    if (ours > 0 && big > 0)
        std::printf("  1 MB page, time per byte / 75 KB page's  %5.2f  (linear: about 1)\n",
                    (big / big_bytes) / (ours / small_bytes));
}

}  // namespace
}  // namespace lunvek

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    lunvek::register_benchmarks();
    lunvek::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    lunvek::print_ratios();
    benchmark::Shutdown();
    return 0;
}
