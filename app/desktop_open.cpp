#include "app/desktop_open.h"

#include <giomm/appinfo.h>
#include <glib.h>

#include <strings.h>
#include <cstring>

namespace lunvek {

namespace {

// Owned by the child watch until xdg-open has ended.
struct PendingOpen {
    std::function<void()> on_failure;
};

void xdg_open_ended(GPid pid, gint status, gpointer data) {
    auto* pending = static_cast<PendingOpen*>(data);
    g_spawn_close_pid(pid);
    if (!g_spawn_check_wait_status(status, nullptr) && pending->on_failure) {
        pending->on_failure();
    }
    delete pending;
}

}  // namespace

bool is_magnet_link(const std::string& address) {
    return address.size() >= 7 && strncasecmp(address.c_str(), "magnet:", 7) == 0;
}

bool open_with_desktop(const std::string& address, std::function<void()> on_failure) {
    try {
        if (Gio::AppInfo::launch_default_for_uri(address)) {
            return true;
        }
    } catch (const Glib::Error&) {
        // No handler registered with Gio; xdg-open may still know one.
    }
    gchar* argv[] = {const_cast<gchar*>("xdg-open"), const_cast<gchar*>(address.c_str()), nullptr};
    GPid pid = 0;
    auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL |
                                          G_SPAWN_STDERR_TO_DEV_NULL);
    if (!g_spawn_async(nullptr, argv, nullptr, flags, nullptr, nullptr, &pid, nullptr)) {
        if (on_failure) {
            on_failure();
        }
        return false;
    }
    g_child_watch_add(pid, xdg_open_ended, new PendingOpen{std::move(on_failure)});
    return true;
}

}  // namespace lunvek
