// http_request on libcurl: one easy handle per call, so calls on different threads share nothing but the
// process-wide cookie store.
#include "net/http_request.h"

#include "net/cookie_merge.h"
#include "net/curl_session.h"
#include "net/url.h"
#include "text/extract.h"

namespace lunvek {

const char* const default_user_agent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; Norvu; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
    ".NET CLR 3.5.21022)";

namespace {

constexpr std::size_t response_header_buffer = 5000;

// The agent named in the header text, or the default. Never carries a line end: it becomes a header line.
Text agent_from_headers(const Text& headers) {
    if (find_text(headers, "User-Agent:", 1, true) == -1) {
        return default_user_agent;
    }
    Text agent = trim_both_ends(text_between(headers, "User-Agent:", "\r\n"));
    if (agent.empty()) {
        agent = header_value(headers);
    }
    return agent.substr(0, agent.find_first_of("\r\n"));
}

void complete_headers(Text& headers, const Text& url, const std::optional<Text>& send_cookies) {
    if (find_text(headers, "Referer:") == -1) {
        headers += headers.empty() ? "Referer: " + url : "\r\nReferer: " + url;
    }
    if (find_text(headers, "Accept:") == -1) {
        headers += "\r\nAccept: */*";
    }
    if (find_text(headers, "Accept-Language:") == -1) {
        headers += "\r\nAccept-Language: zh-cn";
    }
    if (find_text(headers, "Content-Type:") == -1) {
        headers += "\r\nContent-Type: application/x-www-form-urlencoded";
    }
    if (send_cookies && !send_cookies->empty()) {
        headers += "\r\nCookie: " + *send_cookies;
    }
}

void scan_response_headers(HttpRequestOptions& options) {
    options.returned_cookies.clear();
    for (const Text& line : split_text(options.response_headers, "\r\n")) {
        if (find_text(line, "Location:") != -1) {
            options.redirect_url = header_value(line);
        }
        if (find_text(line, "Set-Cookie") != -1) {
            options.returned_cookies += trim_both_ends(text_between(line, "Set-Cookie:", ";")) + "; ";
        }
    }
    options.returned_cookies = text_left(options.returned_cookies, text_length(options.returned_cookies) - 2);
}

}  // namespace

Bytes http_request(const Text& url, HttpRequestOptions& options) {
    const bool secure = to_lower(text_left(url, 5)) == "https";
    const std::string target = detail::checked_url(std::string(secure ? "https://" : "http://") + url_host(url) + ":" +
                                                   std::to_string(url_port(url)) + url_path(url));
    detail::Transfer transfer;
    if (target.empty() || !transfer.ok()) {
        return {};
    }
    CURL* handle = transfer.handle();
    curl_easy_setopt(handle, CURLOPT_URL, target.c_str());
    curl_easy_setopt(handle, CURLOPT_USERAGENT, agent_from_headers(options.headers).c_str());
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, options.no_redirect ? 0L : 1L);
    // The proxy is named for plain HTTP only; "" names none.
    if (options.proxy && !options.proxy->empty() && !secure) {
        curl_easy_setopt(handle, CURLOPT_PROXY, options.proxy->c_str());
        curl_easy_setopt(handle, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
    }
    if (!options.send_cookies) {
        detail::attach_cookie_store(handle);
    }

    complete_headers(options.headers, url, options.send_cookies);
    transfer.add_header_lines(options.headers);
    transfer.add_header_entry("Expect:");  // the body goes out at once, as browsers send it

    if (options.method != 0) {
        if (options.post_bytes.empty()) {
            options.post_bytes = text_to_bytes(options.post_text);
        }
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(options.post_bytes.size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, options.post_bytes.data());
        if (options.method != 1) {
            curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, "GET");
        }
    }

    transfer.perform();  // a failure shows as a short body and a missing header block

    options.response_headers = detail::fit_header_buffer(transfer.final_headers(), response_header_buffer);
    scan_response_headers(options);
    if (options.send_cookies) {
        merge_cookies(*options.send_cookies, options.returned_cookies);
    }
    return std::move(transfer.body());
}

Bytes http_request(const Text& url, int method) {
    HttpRequestOptions options;
    options.method = method;
    return http_request(url, options);
}

}  // namespace lunvek
