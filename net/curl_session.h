// Internal: libcurl set-up shared by both request kinds. Not part of the layer's interface.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstddef>
#include <string>

#include "net/transfer_limits.h"
#include "text/text.h"

namespace lunvek::detail {

// libcurl's global state is set up once and never torn down: an abandoned timed-request worker may still be
// inside libcurl when the process ends.
void ensure_curl_ready();

// Puts the handle on the process-wide cookie store with the cookie engine on.
void attach_cookie_store(CURL* handle);

std::string trusted_ca_file();

// One transfer on its own easy handle with the layer's limits, collecting the body (capped) and the final
// response's header block. `cancel`, when given, is polled by libcurl and ends the transfer once set.
class Transfer {
  public:
    explicit Transfer(const std::atomic<bool>* cancel = nullptr);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    bool ok() const { return handle_ != nullptr; }
    CURL* handle() const { return handle_; }

    // Header text lines, split at CR or LF; empty lines are dropped (they would end the request head).
    void add_header_lines(const Text& header_text);
    // A raw libcurl header entry: "Name:" removes a header libcurl would add itself.
    void add_header_entry(const std::string& entry);

    CURLcode perform();

    Bytes& body() { return body_; }
    // The final response's status line and header lines, each ended by CR LF; "" when none arrived.
    const Text& final_headers() const { return block_; }

  private:
    static size_t on_body(char* data, size_t size, size_t count, void* self);
    static size_t on_header(char* data, size_t size, size_t count, void* self);
    static int on_progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    CURL* handle_ = nullptr;
    curl_slist* header_list_ = nullptr;
    const std::atomic<bool>* cancel_;
    TransferLimits limits_;
    std::string ca_file_;
    Bytes body_;
    Text block_;
    bool block_closed_ = false;
};

// The header text the way a fixed buffer of `buffer_size` bytes (ended by a zero byte) reports it: the
// text when it fits, otherwise the buffer's initial spaces.
Text fit_header_buffer(const Text& headers, std::size_t buffer_size);

// A URL libcurl accepts, or "" when it would reject it.
std::string checked_url(const std::string& url);

}  // namespace lunvek::detail
