// The worker side of a timed request: takes the request record from the hand-off buffer, makes the request
// with its own profile, writes the result record and stores the response's cookies.
#include "net/timed_request_worker.h"
#include "net/cookie_store.h"
#include "net/curl_session.h"
#include "net/url.h"

namespace lunvek::detail {

namespace {

constexpr const char* timed_user_agent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr const char* timed_accept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";
constexpr std::size_t response_header_buffer = 1024;

struct TimedRequest {
    Text url, method, post_text, headers, proxy, user_name, password;
};

bool is_blank(const Text& text) {
    return remove_all_spaces(text).empty();
}

bool take_request(TimedRequestShared& shared, TimedRequest& request) {
    std::lock_guard lock(shared.mutex);
    HandoffBuffer& buffer = shared.buffer;
    buffer.seek(0);
    Text marker;
    buffer.read_text(marker);
    if (marker != request_marker) {
        return false;
    }
    for (Text* field : {&request.url, &request.method, &request.post_text, &request.headers, &request.proxy,
                        &request.user_name, &request.password}) {
        buffer.read_text(*field);
    }
    buffer.clear();
    return true;
}

Text completed_headers(const TimedRequest& request) {
    Text headers = request.headers;
    if (find_text(headers, "Accept: ", 1, true) == -1) {
        headers += timed_accept;
    }
    if (find_text(headers, "Referer: ", 1, true) == -1) {
        headers += "Referer: " + request.url + "\r\n";
    }
    if (find_text(headers, "Accept-Language: ", 1, true) == -1) {
        headers += "Accept-Language: zh-cn\r\n";
    }
    if (request.method != "GET") {
        if (!request.post_text.empty()) {
            headers += "Content-Type: application/x-www-form-urlencoded\r\n";
        }
        headers += "Content-Length: " + std::to_string(request.post_text.size()) + "\r\n";
    }
    return headers;
}

// Each "Set-Cookie: name=data" line goes into the shared store for the host, attributes included.
void store_response_cookies(const Text& response_headers, const Text& host) {
    if (find_text(response_headers, "Set-Cookie: ", 1, true) == -1) {
        return;
    }
    for (const Text& line : split_text(response_headers, "\r\n")) {
        if (find_text(line, "Set-Cookie: ", 1, true) == -1) {
            continue;
        }
        const Text rest = text_right(line, text_length(line) - 12);
        const int equals = find_text(rest, "=");
        const Text name = equals == -1 ? rest : text_left(rest, equals - 1);
        const Text data = equals == -1 ? Text{} : text_right(rest, text_length(rest) - equals);
        store_cookie(host, name, data);
    }
}

}  // namespace

bool timed_request_worker(const std::shared_ptr<TimedRequestShared>& shared) {
    if (!shared) {
        return false;
    }
    TimedRequest request;
    if (!take_request(*shared, request)) {
        return false;
    }
    request.method = to_upper(request.method.empty() ? Text("GET") : request.method);
    const SplitUrl parts = split_http_url(request.url);
    // Plain HTTP whatever the scheme says: this profile never speaks TLS.
    const std::string target = checked_url("http://" + parts.host + ":" + std::to_string(parts.port) + parts.path);
    Transfer transfer(&shared->cancelled);
    if (target.empty() || !transfer.ok()) {
        return false;
    }
    CURL* handle = transfer.handle();
    curl_easy_setopt(handle, CURLOPT_URL, target.c_str());
    curl_easy_setopt(handle, CURLOPT_USERAGENT, timed_user_agent);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    if (!is_blank(request.proxy)) {
        curl_easy_setopt(handle, CURLOPT_PROXY, request.proxy.c_str());
        curl_easy_setopt(handle, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
    }
    if (!is_blank(request.user_name)) {
        curl_easy_setopt(handle, CURLOPT_USERNAME, request.user_name.c_str());
    }
    if (!is_blank(request.password)) {
        curl_easy_setopt(handle, CURLOPT_PASSWORD, request.password.c_str());
    }
    attach_cookie_store(handle);

    const Text headers = completed_headers(request);
    transfer.add_header_lines(headers);
    transfer.add_header_entry("Expect:");
    if (find_text(headers, "Content-Type:", 1, true) == -1) {
        transfer.add_header_entry("Content-Type:");  // libcurl would add one for a body
    }
    if (request.method == "HEAD") {
        curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    } else if (request.method != "GET") {
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.post_text.size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, request.post_text.c_str());
        if (request.method != "POST") {
            curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, request.method.c_str());
        }
    }

    transfer.perform();  // a failure shows as a short body and a missing header block

    const Text response_headers = fit_header_buffer(transfer.final_headers(), response_header_buffer);
    {
        std::lock_guard lock(shared->mutex);
        if (shared->cancelled) {
            return false;  // abandoned: nothing of this request may reach anyone any more
        }
        HandoffBuffer& buffer = shared->buffer;
        buffer.seek(0);
        buffer.write_text(result_marker);
        buffer.write_text(response_headers);
        buffer.write_bytes(transfer.body());
    }
    if (!shared->cancelled) {
        store_response_cookies(response_headers, parts.host);
    }
    return true;
}

}  // namespace lunvek::detail
