#include "app/html_viewer.h"

#include "app/desktop_open.h"

namespace lunvek {

HtmlViewer::HtmlViewer(std::function<void(const std::string&)> no_handler) : no_handler_(std::move(no_handler)) {}

void HtmlViewer::set_address(const std::string& address) {
    address_ = address;
    if (!is_magnet_link(address)) {
        return;
    }
    open_with_desktop(address, [no_handler = no_handler_, address] {
        if (no_handler) {
            no_handler(address);
        }
    });
}

}  // namespace lunvek
