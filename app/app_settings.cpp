#include "app/app_settings.h"

namespace lunvek {

AppSettings built_in_settings() {
    AppSettings settings;
    settings.search_base = LUNVEK_SEARCH_BASE;
    settings.update_base = LUNVEK_UPDATE_BASE;
    settings.home_url = LUNVEK_HOME_URL;
    settings.subscribe_url = LUNVEK_SUBSCRIBE_URL;
    return settings;
}

}  // namespace lunvek
