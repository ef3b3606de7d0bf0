// Where the program goes on the network and how long its deliberate waits last.
// The program itself only ever uses built_in_settings(); tests point a window at a site on a free port.
#pragma once

#include <string>

namespace lunvek {

struct AppSettings {
    std::string search_base;             // scheme and host, no trailing slash; also the start of detail links
    std::string update_base;             // "/soft/version.html" and "/soft/update.html" live under it
    std::string home_url;                // the maker's home page, also the home link's caption
    std::string subscribe_url;           // the mailing-list subscription page
    int version_notice_delay_ms = 5000;  // pause between fetching the version date and telling the user
    int final_status_delay_ms = 500;     // longer than one animation cycle, so no busy text lands after it
    int animation_period_ms = 200;
    int version_timeout_s = 10;
};

// The addresses chosen when the program was built (CMake cache variables).
AppSettings built_in_settings();

}  // namespace lunvek
