// The main window's hidden HTML viewer. Its only job: when its address is set to a magnet link, hand the
// link to the desktop's handler for that scheme. Any other address stays inside the program, because the
// list's links come from a web page that may hold file: or other links.
#pragma once

#include <functional>
#include <string>

namespace lunvek {

class HtmlViewer {
  public:
    // `no_handler` runs on the window thread with the link when no program took it.
    explicit HtmlViewer(std::function<void(const std::string&)> no_handler);

    // Window thread only.
    void set_address(const std::string& address);
    const std::string& address() const { return address_; }

  private:
    std::function<void(const std::string&)> no_handler_;
    std::string address_;
};

}  // namespace lunvek
