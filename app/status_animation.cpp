// The busy animation of a search: its own thread, so the status label keeps changing while the worker
// waits on the network.
#include <chrono>
#include <random>

#include "app/globals.h"
#include "app/main_window.h"
#include "app/search_worker.h"
#include "app/waits.h"

namespace lunvek {

namespace {

constexpr int max_cycles = 1000;

}  // namespace

void status_animation(std::shared_ptr<AppContext> context) {
    auto ticks =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    std::mt19937 random(static_cast<unsigned>(ticks.count()));
    std::uniform_int_distribution<int> channel(0, 255);
    for (int cycle = 0; cycle < max_cycles; ++cycle) {
        if (search_done_flag != 0 || context->ui.closed()) {
            return;  // the remaining cycles would pass without doing anything
        }
        const int red = channel(random);
        const int green = channel(random);
        const int blue = channel(random);
        post_to_window(context, [colour = red + 256 * green + 65536 * blue](MainWindow& window) {
            window.show_status(busy_status_text, colour);
        });
        wait_dispatching(context->settings.animation_period_ms);
    }
}

}  // namespace lunvek
