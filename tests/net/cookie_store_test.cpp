// The process-wide cookie store: shared by every thread and both request kinds, left out of a request
// that manages its own cookies. Each test uses paths of its own so that their cookies never meet.
#include <gtest/gtest.h>

#include <thread>

#include "net/cookie_store.h"
#include "net/http_request.h"
#include "net_test_support.h"

namespace lunvek {
namespace {

using testing::Exchange;
using testing::http_response;
using testing::ScriptedServer;

std::string cookie_line(const std::string& raw) {
    const auto at = raw.find("\r\nCookie: ");
    return at == std::string::npos ? "" : raw.substr(at + 2, raw.find("\r\n", at + 2) - at - 2);
}

TEST(CookieStore, CookieSetOnOneThreadIsSentFromAnother) {
    ScriptedServer server([](Exchange& ex) {
        if (ex.request.target == "/shared/login") {
            ex.send(http_response("200 OK", "Set-Cookie: sid=7; path=/shared\r\nSet-Cookie: lang=zh; path=/shared\r\n",
                                  "in"));
        } else {
            ex.send(http_response("200 OK", "", "page"));
        }
    });
    HttpRequestOptions login;
    std::thread([&] { http_request(server.url("/shared/login"), login); }).join();
    EXPECT_EQ(login.returned_cookies, "sid=7; lang=zh");

    std::thread([&] { http_request(server.url("/shared/next")); }).join();
    const std::string line = cookie_line(server.requests().back().raw);
    EXPECT_TRUE(line == "Cookie: sid=7; lang=zh" || line == "Cookie: lang=zh; sid=7") << line;  // store's order
}

TEST(CookieStore, ManyThreadsShareTheStoreSafely) {
    ScriptedServer server([](Exchange& ex) {
        const std::string& target = ex.request.target;
        if (target.rfind("/many/set", 0) == 0) {
            const std::string n = target.substr(9);
            ex.send(http_response("200 OK", "Set-Cookie: c" + n + "=" + n + "; path=/many\r\n", "set"));
        } else {
            ex.send(http_response("200 OK", "", "read"));
        }
    });
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&, i] {
            for (int k = 0; k < 5; ++k) {
                http_request(server.url("/many/set" + std::to_string(i * 10 + k)));
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    http_request(server.url("/many/check"));
    const std::string line = cookie_line(server.requests().back().raw);
    for (int i = 0; i < 8; ++i) {
        for (int k = 0; k < 5; ++k) {
            const std::string n = std::to_string(i * 10 + k);
            EXPECT_NE(line.find("c" + n + "=" + n), std::string::npos) << n;
        }
    }
}

TEST(CookieStore, CallerManagedCookiesBypassTheStore) {
    ScriptedServer server(
        [](Exchange& ex) { ex.send(http_response("200 OK", "Set-Cookie: a=1; path=/own\r\n", "x")); });
    HttpRequestOptions options;
    options.send_cookies = "a=0; c=3";
    http_request(server.url("/own/first"), options);
    EXPECT_EQ(cookie_line(server.requests().back().raw), "Cookie: a=0; c=3");
    EXPECT_EQ(*options.send_cookies, "a=1; c=3");
    EXPECT_EQ(options.returned_cookies, "a=1");

    // The response's cookie went only to the caller: the store never saw it.
    http_request(server.url("/own/second"));
    EXPECT_EQ(cookie_line(server.requests().back().raw), "");

    // Given as "": no Cookie line, and the store is still left out.
    HttpRequestOptions empty;
    empty.send_cookies = "";
    http_request(server.url("/own/third"), empty);
    EXPECT_EQ(cookie_line(server.requests().back().raw), "");
    EXPECT_EQ(*empty.send_cookies, "a=1");
}

TEST(CookieStore, ReturnedCookiesFollowTheCutRules) {
    const struct {
        const char* set_cookie_lines;
        const char* returned;
    } cases[] = {
        {"Set-Cookie: a=1; path=/cut\r\nSet-Cookie: b=2; path=/cut\r\n", "a=1; b=2"},
        {"Set-Cookie: sid=1\r\n", ""},  // no ";" after the value: an empty entry, cut away
        {"Set-Cookie: x=1; path=/cut\r\nSet-Cookie: sid=1\r\nSet-Cookie: y=2; path=/cut\r\n", "x=1; ; y=2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set_cookie_lines);
        ScriptedServer server([&](Exchange& ex) { ex.send(http_response("200 OK", c.set_cookie_lines, "")); });
        HttpRequestOptions options;
        http_request(server.url("/cut/x"), options);
        EXPECT_EQ(options.returned_cookies, c.returned);
    }
}

TEST(CookieStore, StoredCookieIsSentToItsHostOnly) {
    ScriptedServer server([](Exchange& ex) { ex.send(http_response("200 OK", "", "")); });
    store_cookie("127.0.0.1", "direct", "v1; path=/direct");
    store_cookie("127.0.0.1", "gone", "v; path=/direct; max-age=0");
    store_cookie("127.0.0.9", "elsewhere", "v; path=/direct");
    http_request(server.url("/direct/page"));
    EXPECT_EQ(cookie_line(server.requests().back().raw), "Cookie: direct=v1");
}

}  // namespace
}  // namespace lunvek
