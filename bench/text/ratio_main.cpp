// Runs the benchmarks, then prints each measured ratio next to its limit. CPU time is compared, so that other
// work on a shared machine disturbs the figures less.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations <= 0)
                continue;
            const double seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            // With --benchmark_repetitions the median stands for the benchmark; otherwise its one run does.
            if (run.run_type == Run::RT_Iteration && !medians_.count(run.run_name.str())) {
                seconds_[run.run_name.str()] = seconds;
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                seconds_[run.run_name.str()] = seconds;
                medians_.insert(run.run_name.str());
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints measured / reference; nothing when either benchmark was filtered out.
    void ratio(const std::string& what, const std::string& measured, const std::string& reference, double scale,
               double limit) const {
        const auto m = seconds_.find(measured);
        const auto r = seconds_.find(reference);
        if (m == seconds_.end() || r == seconds_.end())
            return;
        const double value = m->second / (r->second * scale);
        std::printf("%-52s %6.2fx  (limit %.1fx) %s\n", what.c_str(), value, limit, value <= limit ? "ok" : "OVER");
    }

  private:
    std::map<std::string, double> seconds_;
    std::set<std::string> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nRatios (CPU time)\n");
    reporter.ratio("find_text absent / memmem", "find_text_absent", "memmem_absent", 1, 2);
    reporter.ratio("find_text absent, ignore case / memmem", "find_text_absent_ignore_case", "memmem_absent", 1, 4);
    // Per byte: the 8 MB page is eight times the 1 MB one.
    for (const char* name :
         {"replace_subtext_page", "split_text_page", "all_texts_between_page", "remove_all_spaces_page"}) {
        const std::string base = name;
        reporter.ratio(base + " per byte, 8 MB / 1 MB", base + "/8388608", base + "/1048576", 8, 2);
    }
    reporter.ratio("utf8_to_ansi / raw ICU conversion", "utf8_to_ansi_page", "icu_convert_reference", 1, 1.5);
    return 0;
}
