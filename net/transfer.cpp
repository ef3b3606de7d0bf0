// One libcurl transfer with the layer's limits: bounded connect, no endless stall, redirects only to
// http/https and at most 20 of them, a capped body, and the final response's raw header block.
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "net/curl_session.h"

namespace lunvek::detail {

// libcurl's TLS library frees its global state from an exit handler, under the feet of an abandoned worker
// that is still inside a request when the process ends. Asked before its first use, it leaves that state
// alone. Looked up at run time: a libcurl built on another TLS library simply lacks the symbol.
void keep_tls_state_until_exit() {
    using InitCrypto = int (*)(std::uint64_t, const void*);
    constexpr std::uint64_t no_exit_handler = 0x00080000;  // OPENSSL_INIT_NO_ATEXIT
    if (const auto init = reinterpret_cast<InitCrypto>(::dlsym(RTLD_DEFAULT, "OPENSSL_init_crypto"))) {
        init(no_exit_handler, nullptr);
    }
}

void ensure_curl_ready() {
    static std::once_flag once;
    std::call_once(once, [] {
        keep_tls_state_until_exit();
        curl_global_init(CURL_GLOBAL_DEFAULT);
    });
}

std::string checked_url(const std::string& url) {
    ensure_curl_ready();
    CURLU* parsed = curl_url();
    if (parsed == nullptr) {
        return {};
    }
    const bool accepted = curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
    curl_url_cleanup(parsed);
    return accepted ? url : std::string{};
}

Text fit_header_buffer(const Text& headers, std::size_t buffer_size) {
    if (!headers.empty() && headers.size() + 1 <= buffer_size) {
        return headers;
    }
    return Text(buffer_size, ' ');
}

Transfer::Transfer(const std::atomic<bool>* cancel)
    : cancel_(cancel), limits_(transfer_limits()), ca_file_(trusted_ca_file()) {
    ensure_curl_ready();
    handle_ = curl_easy_init();
    if (handle_ == nullptr) {
        return;
    }
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle_, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connect_timeout.count()));
    curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits_.stall_time.count()));
    // Direct unless a caller names a proxy: the environment's proxy settings are not ours to follow.
    curl_easy_setopt(handle_, CURLOPT_PROXY, "");
    curl_easy_setopt(handle_, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle_, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!ca_file_.empty()) {
        curl_easy_setopt(handle_, CURLOPT_CAINFO, ca_file_.c_str());
        curl_easy_setopt(handle_, CURLOPT_CAPATH, nullptr);
    }
    curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &Transfer::on_body);
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(handle_, CURLOPT_HEADERFUNCTION, &Transfer::on_header);
    curl_easy_setopt(handle_, CURLOPT_HEADERDATA, this);
    if (cancel_ != nullptr) {
        curl_easy_setopt(handle_, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(handle_, CURLOPT_XFERINFOFUNCTION, &Transfer::on_progress);
        curl_easy_setopt(handle_, CURLOPT_XFERINFODATA, this);
    }
}

Transfer::~Transfer() {
    if (handle_ != nullptr) {
        curl_easy_cleanup(handle_);
    }
    curl_slist_free_all(header_list_);
}

void Transfer::add_header_entry(const std::string& entry) {
    if (curl_slist* grown = curl_slist_append(header_list_, entry.c_str())) {
        header_list_ = grown;
    }
}

void Transfer::add_header_lines(const Text& header_text) {
    std::string line;
    const auto flush = [&] {
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && line.find_first_not_of(" \t", colon + 1) == std::string::npos) {
            // libcurl reads "Name:" as "leave this header out" and sends "Name;" as the empty header.
            line.resize(colon);
            line += ';';
        }
        if (!line.empty()) {
            add_header_entry(line);
        }
        line.clear();
    };
    for (const char c : header_text) {
        if (c == '\r' || c == '\n') {
            flush();
        } else {
            line += c;
        }
    }
    flush();
}

CURLcode Transfer::perform() {
    if (handle_ == nullptr) {
        return CURLE_FAILED_INIT;
    }
    curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, header_list_);
    return curl_easy_perform(handle_);
}

size_t Transfer::on_body(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    const size_t bytes = size * count;
    const size_t room =
        transfer->limits_.max_body_bytes - std::min(transfer->limits_.max_body_bytes, transfer->body_.size());
    transfer->body_.append(data, std::min(bytes, room));
    return bytes <= room ? bytes : 0;  // 0 ends the transfer; what was kept is the body
}

size_t Transfer::on_header(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    const size_t bytes = size * count;
    std::string_view line(data, bytes);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    // Every response of a redirect chain begins with its status line; only the last one is reported.
    if (line.substr(0, 5) == "HTTP/") {
        transfer->block_.clear();
        transfer->block_closed_ = false;
    } else if (transfer->block_closed_) {
        return bytes;  // trailers after a chunked body are not part of the header block
    }
    if (line.empty()) {
        transfer->block_closed_ = true;
        return bytes;
    }
    if (transfer->block_.size() + line.size() + 2 > transfer->limits_.max_header_block_bytes) {
        return 0;
    }
    transfer->block_.append(line);
    transfer->block_.append("\r\n");
    return bytes;
}

int Transfer::on_progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* transfer = static_cast<Transfer*>(self);
    return transfer->cancel_->load(std::memory_order_relaxed) ? 1 : 0;
}

}  // namespace lunvek::detail
