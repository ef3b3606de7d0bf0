// Hands an address to the desktop's handler for its scheme: Gio's default application first, then
// xdg-open (which knows the desktop environments' own openers).
#pragma once

#include <functional>
#include <string>

namespace lunvek {

// Window thread only. Returns false when the address was not handed on at once; `on_failure` runs on the
// window thread when no program took it, possibly later (xdg-open reports through its exit status).
bool open_with_desktop(const std::string& address, std::function<void()> on_failure = {});

// True for "magnet:" addresses, the scheme compared without regard to ASCII case.
bool is_magnet_link(const std::string& address);

}  // namespace lunvek
