// URL dissection over the text operations; the quirks (a query without a path stays in the host, an empty
// port reads as 0) are kept on purpose because the requests are built from exactly these pieces.
#include "net/url.h"

#include <cmath>
#include <limits>

#include "text/extract.h"

namespace lunvek {

namespace {

// The object path: from the first "/" at or after where the host appears in the URL.
Text path_after_host(const Text& url, const Text& host) {
    const int host_at = find_text(url, host, 1, true);
    const int slash_at = find_text(url, "/", host_at, true);
    if (slash_at <= 0) {
        return "/";
    }
    return text_right(url, text_length(url) - slash_at + 1);
}

// A port read as a real number is truncated toward zero; one that no int can hold is no port at all.
int port_from_number(double value) {
    if (!std::isfinite(value) || value >= static_cast<double>(std::numeric_limits<int>::max()) + 1.0 ||
        value <= static_cast<double>(std::numeric_limits<int>::min()) - 1.0) {
        return 0;
    }
    return static_cast<int>(value);
}

}  // namespace

Text url_host(const Text& url, bool keep_port) {
    Text t = to_lower(url);
    if (text_right(t, 1) != "/") {
        t += "/";
    }
    if (text_left(t, 8) == "https://") {
        t = text_between(t, "https://", "/");
    } else {
        if (find_text(t, "http://") == -1) {
            t = "http://" + t;
        }
        t = text_between(t, "http://", "/");
    }
    if (keep_port) {
        return t;
    }
    const int colon = find_text(t, ":");
    return colon == -1 ? t : text_left(t, colon - 1);
}

int url_port(const Text& url) {
    const Text host = url_host(url, true);
    const int colon = find_text_reverse(host, ":");
    if (colon != -1) {
        return to_int(text_right(host, text_length(host) - colon));
    }
    return to_lower(text_left(url, 5)) == "https" ? 443 : 80;
}

Text url_path(const Text& url) {
    return path_after_host(url, url_host(url));
}

SplitUrl split_http_url(const Text& url) {
    int start = 1;
    if (find_text(url, "http://") != -1) {
        start = 8;
    } else if (to_lower(text_left(url, 4)) == "http") {
        start = 9;
    }
    const int slash = find_text(url, "/", start);
    const int end = slash == -1 ? text_length(url) + 1 : slash;
    const Text host_port = to_lower(text_mid(url, start, end - start));

    SplitUrl parts;
    const int colon = find_text(host_port, ":");
    if (colon == -1) {
        parts.host = host_port;
        parts.port = 80;
    } else {
        parts.host = text_left(host_port, colon - 1);
        parts.port = port_from_number(to_number(text_right(host_port, text_length(host_port) - colon)));
    }
    parts.path = path_after_host(url, parts.host);
    return parts;
}

void split_http_url(const Text& url, Text& host, int& port, Text& path) {
    SplitUrl parts = split_http_url(url);
    host = std::move(parts.host);
    port = parts.port;
    path = std::move(parts.path);
}

}  // namespace lunvek
