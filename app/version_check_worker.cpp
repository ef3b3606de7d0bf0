#include "app/version_check_worker.h"

#include "app/desktop_open.h"
#include "app/globals.h"
#include "app/message_box.h"
#include "app/waits.h"
#include "net/http_request_timed.h"

namespace lunvek {

namespace {

constexpr int version_date_length = 8;

}  // namespace

void version_check_worker(std::shared_ptr<AppContext> context) {
    const AppSettings& settings = context->settings;
    Bytes body =
        http_request_timed(settings.update_base + "/soft/version.html", "GET", {}, {}, settings.version_timeout_s);
    fetched_version.set(bytes_to_text(body));
    wait_dispatching(settings.version_notice_delay_ms);

    // Any other eight bytes count as a new version, an older date included: the site names the one to use.
    const Text fetched = fetched_version.get();
    if (text_length(fetched) != version_date_length || fetched == current_version.get()) {
        return;
    }
    if (!show_message_box(*context, new_version_text, new_version_caption)) {
        return;  // the window closed before the user did: nobody asked for the page any more
    }
    context->ui.post([address = settings.update_base + "/soft/update.html"] { open_with_desktop(address); });
}

}  // namespace lunvek
