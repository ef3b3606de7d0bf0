// The synchronous web request: fetches one URL on the calling thread and returns the body. Re-entrant; any
// thread may call it. Failures are silent: a request that cannot be made gives empty bytes.
#pragma once

#include <optional>

#include "text/text.h"

namespace lunvek {

// Everything a caller may pass besides the URL. Fields marked in/out or out are written back.
struct HttpRequestOptions {
    // 1 sends "POST", any other value "GET"; every value but 0 sends a body.
    int method = 0;
    // The body when post_bytes is empty.
    Text post_text;
    // in/out. Given (even as ""): sent as the Cookie line when not "", the shared cookie store is left out of
    // this request, and on return it holds the merge of itself with the cookies the response set.
    std::optional<Text> send_cookies;
    // out: the cookies the response set, "name=value; name=value".
    Text returned_cookies;
    // in/out: extra request header lines separated by CR LF; on return the header text as sent, defaults
    // ("Referer", "Accept", "Accept-Language", "Content-Type", "Cookie") appended.
    Text headers;
    // out: the value of the last response header line containing "Location:"; left as it was without one.
    Text redirect_url;
    // true: a redirect response is returned as it is instead of being followed.
    bool no_redirect = false;
    // in/out: the body; filled from post_text when empty and a body is sent.
    Bytes post_bytes;
    // "host:port" of an HTTP proxy, used for plain-HTTP addresses only: "https" goes direct, and "" names no
    // proxy at all, so the request goes direct too.
    std::optional<Text> proxy;
    // out: the final response's status line and header lines, each ended by CR LF; 5000 spaces when there
    // was no response or the block needs more than 5000 bytes with its terminating zero.
    Text response_headers;
};

// The response body; empty when the request cannot be made. Redirects are followed (http and https only,
// at most 20), cookies go through the shared store, TLS is used for "https" addresses.
Bytes http_request(const Text& url, HttpRequestOptions& options);
Bytes http_request(const Text& url, int method = 0);

// The agent string sent when the header text names none.
extern const char* const default_user_agent;

}  // namespace lunvek
