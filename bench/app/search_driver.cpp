// A search in a real main window, timed from the button's click to the last row in the list. The final
// status is written without the usual 500 ms pause, so its arrival marks the last row (it is posted after it).
// Usage: search_driver BASE KEYWORD RUNS   prints one line per run: "<ms> <rows>"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/main_window.h"
#include "app/program.h"
#include "app/waits.h"
#include "app/worker_threads.h"

using namespace lunvek;

namespace {

template <typename Done>
bool pump_until(Done done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        wait_dispatching(1);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || !start_program()) {
        std::fprintf(stderr, "usage (with a display): search_driver BASE KEYWORD RUNS\n");
        return 2;
    }
    AppSettings settings;
    settings.search_base = settings.update_base = argv[1];
    settings.home_url = settings.subscribe_url = std::string(argv[1]) + "/maker/";
    settings.final_status_delay_ms = 0;
    settings.version_notice_delay_ms = 0;
    auto context = std::make_shared<AppContext>(settings);
    auto window = std::make_unique<MainWindow>(context);
    window->show();
    pump_until([&] { return !window->hot_label.get_text().empty() && running_workers() == 0; },
               std::chrono::seconds(30));
    for (int run = 0; run < std::atoi(argv[3]); ++run) {
        window->status_label.set_text("");
        window->keyword_box.set_text(argv[2]);
        const auto start = std::chrono::steady_clock::now();
        window->search_button.clicked();
        if (!pump_until([&] { return window->status_label.get_text().find("已搜索完毕") != std::string::npos; },
                        std::chrono::seconds(60))) {
            std::fprintf(stderr, "search_driver: the search did not finish\n");
            return 1;
        }
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("%.1f %d\n", ms, window->result_list.row_count());
        std::fflush(stdout);
        pump_until([] { return running_workers() == 0; }, std::chrono::seconds(10));
    }
    window.reset();
    end_program(0);
}
