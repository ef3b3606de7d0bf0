#include <gtest/gtest.h>

#include "net/url.h"

namespace lunvek {
namespace {

struct UrlCase {
    const char* url;
    const char* host;
    const char* host_with_port;
    int port;
    const char* path;
};

TEST(UrlDissection, HostPortAndPath) {
    const UrlCase cases[] = {
        {"http://Shop.Example.com:8080/a/B?x=1", "shop.example.com", "shop.example.com:8080", 8080, "/a/B?x=1"},
        {"https://Example.com", "example.com", "example.com", 443, "/"},
        {"HTTPS://Example.com/", "example.com", "example.com", 443, "/"},
        {"shop.example.com/x", "shop.example.com", "shop.example.com", 80, "/x"},
        // A query without a path stays part of the host; the path is then "/".
        {"http://example.com?x=1", "example.com?x=1", "example.com?x=1", 80, "/"},
        // An empty port reads as 0.
        {"http://example.com:/x", "example.com", "example.com:", 0, "/x"},
        {"https://127.0.0.1:8443/p/q", "127.0.0.1", "127.0.0.1:8443", 8443, "/p/q"},
        // The scheme may appear later in the text; everything up to it is skipped.
        {"go?to=http://b.example/c", "b.example", "b.example", 80, "/c"},
        {"", "", "", 80, "/"},
    };
    for (const UrlCase& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(url_host(c.url), c.host);
        EXPECT_EQ(url_host(c.url, true), c.host_with_port);
        EXPECT_EQ(url_port(c.url), c.port);
        EXPECT_EQ(url_path(c.url), c.path);
    }
}

TEST(UrlDissection, SplitHttpUrl) {
    const struct {
        const char* url;
        const char* host;
        int port;
        const char* path;
    } cases[] = {
        {"https://example.com/x", "example.com", 80, "/x"},  // 80, not 443: this split knows plain HTTP only
        {"http://example.com:81", "example.com", 81, "/"},
        {"example.com/x", "example.com", 80, "/x"},
        {"http://Example.COM:8080/Soft/v.html?a=B", "example.com", 8080, "/Soft/v.html?a=B"},
        {"http://example.com:81.9/x", "example.com", 81, "/x"},        // a real port loses its fraction
        {"http://example.com:99999999999/x", "example.com", 0, "/x"},  // no int holds it: no port
        {"http://example.com:abc/", "example.com", 0, "/"},
        {"", "", 80, "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        Text host = "stale";
        int port = -1;
        Text path = "stale";
        split_http_url(c.url, host, port, path);
        EXPECT_EQ(host, c.host);
        EXPECT_EQ(port, c.port);
        EXPECT_EQ(path, c.path);
    }
}

}  // namespace
}  // namespace lunvek
