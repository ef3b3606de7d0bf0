// Measures the resident memory of this process and its WebKit processes: with the hidden browser idle, with
// a popup window open, and after it closed. Run it under scripts/with-display; it prints KiB and ratios.
#include <cstdio>
#include <string>

#include "app/popup/hidden_browser.h"
#include "gui_support.h"
#include "test_server.h"

int main() {
    using namespace lunvek;
    if (!test::start_gui())
        return 1;
    HiddenBrowser browser;
    Gtk::Window main_window;
    main_window.show();
    test::pump_for(1000);
    const long idle = test::tree_resident_kib();
    const long idle_pss = test::tree_proportional_kib();

    test::TestServer server;
    server.add_page("/opener",
                    "<!doctype html><title>opener</title>"
                    "<script>window.open('/first', '_blank', 'toolbar=no');</script>");
    server.add_page("/first", "<!doctype html><title>first</title><p>first page");
    browser.load(server.url("/opener"));
    if (!test::pump_until([&] { return browser.popup() != nullptr && browser.popup()->get_title() == "first"; })) {
        return 1;
    }
    test::pump_for(2000);
    const long open = test::tree_resident_kib();
    const long open_pss = test::tree_proportional_kib();
    const std::size_t processes_open = test::descendant_processes().size();

    test::evaluate(browser.popup()->browser(), "window.close()");
    if (!test::pump_until([&] { return browser.popup() == nullptr; }))
        return 1;
    test::pump_for(3000);
    const long closed = test::tree_resident_kib();
    const long closed_pss = test::tree_proportional_kib();

    const auto report = [&](const char* state, long rss, long pss, std::size_t processes) {
        std::printf("%-22s RSS %7ld KiB (%.2f x idle), PSS %7ld KiB (%.2f x idle), %zu WebKit processes\n", state, rss,
                    static_cast<double>(rss) / idle, pss, static_cast<double>(pss) / idle_pss, processes);
    };
    report("idle, no browser yet:", idle, idle_pss, 0);
    report("popup open:", open, open_pss, processes_open);
    report("popup closed:", closed, closed_pss, test::descendant_processes().size());
    return 0;
}
