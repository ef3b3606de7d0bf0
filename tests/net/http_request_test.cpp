// http_request against scripted servers: what goes on the wire, what comes back, redirects, proxy.
#include <gtest/gtest.h>

#include "net/http_request.h"
#include "net_test_support.h"

namespace lunvek {
namespace {

using testing::answer;
using testing::Exchange;
using testing::header_lines;
using testing::http_response;
using testing::ScriptedServer;

TEST(HttpRequest, PlainGetSendsTheDefaultsAndReturnsTheBody) {
    const std::string body("page\0with zero", 14);
    ScriptedServer server(answer(body, "X-Note: one\r\n"));
    const Text url = server.url("/page?q=%E4&p=2");

    HttpRequestOptions options;
    EXPECT_EQ(http_request(url, options), body);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].raw, testing::default_request_head("/page?q=%E4&p=2", server, url));
    EXPECT_EQ(options.headers, "Referer: " + url +
                                   "\r\nAccept: */*\r\nAccept-Language: zh-cn"
                                   "\r\nContent-Type: application/x-www-form-urlencoded");
    EXPECT_EQ(options.response_headers, "HTTP/1.1 200 OK\r\nX-Note: one\r\nContent-Length: 14\r\n");
    EXPECT_EQ(options.returned_cookies, "");
    EXPECT_EQ(options.redirect_url, "");
    EXPECT_EQ(http_request(url, 0), body);  // the form the search worker uses
}

TEST(HttpRequest, HeaderTextIsCompletedCaseSensitively) {
    ScriptedServer server(answer("ok"));
    const Text url = server.url("/h");
    const struct {
        const char* given;
        const char* completed;  // what follows the caller's text; {url} stands for the URL
        const char* agent;
    } cases[] = {
        // A Referer already given is not repeated.
        {"Referer: x", "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded",
         nullptr},
        // The searches are case-sensitive: a lower-case accept still gets the default Accept line.
        {"accept: */*",
         "\r\nReferer: {url}\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: "
         "application/x-www-form-urlencoded",
         nullptr},
        // A text ending in CR LF gets an empty line before the first default.
        {"X-A: 1\r\n",
         "\r\nReferer: {url}\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: "
         "application/x-www-form-urlencoded",
         nullptr},
        {"User-Agent: Probe/1.0\r\nAccept: text/html",
         "\r\nReferer: {url}\r\nAccept-Language: zh-cn\r\nContent-Type: "
         "application/x-www-form-urlencoded",
         "Probe/1.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        HttpRequestOptions options;
        options.headers = c.given;
        ASSERT_EQ(http_request(url, options), "ok");
        std::string completed = c.completed;
        if (const auto at = completed.find("{url}"); at != std::string::npos) {
            completed.replace(at, 5, url);
        }
        EXPECT_EQ(options.headers, std::string(c.given) + completed);

        // On the wire: every non-empty line of the text, once, in order; no blank line inside the head.
        const std::string sent = header_lines(server.requests().back().raw);
        std::string expected_lines;
        std::string text = options.headers;
        for (std::size_t at; (at = text.find("\r\n")) != std::string::npos; text.erase(0, at + 2)) {
            if (at > 0) {
                expected_lines += text.substr(0, at) + "\r\n";
            }
        }
        expected_lines += text + "\r\n";
        const std::string agent_line = std::string("User-Agent: ") + (c.agent ? c.agent : default_user_agent);
        const std::string curl_lines = "Host: " + server.host_port() + "\r\n" + (c.agent ? "" : agent_line + "\r\n");
        EXPECT_EQ(sent, curl_lines + expected_lines);
    }
}

TEST(HttpRequest, AgentFromALowerCaseHeaderFallsBackToTheFirstColon) {
    ScriptedServer server(answer("ok"));
    HttpRequestOptions options;
    // Found by the case-insensitive search, missed by the case-sensitive cut: the agent becomes the text
    // after the first colon. The caller's line is still sent as it is.
    options.headers = "user-agent: Foo\r\n";
    ASSERT_EQ(http_request(server.url("/ua"), options), "ok");
    const std::string sent = server.requests().back().raw;
    EXPECT_NE(sent.find("\r\nuser-agent: Foo\r\n"), std::string::npos);
    EXPECT_EQ(sent.find("Mozilla"), std::string::npos);

    // An agent that would carry a line end never splits a header line: the request stays well formed.
    // Here the agent is the rest of the whole text after "X-Id:", cut at its first line end.
    HttpRequestOptions hidden;
    hidden.headers = "X-Id: 1\r\nX-Original-User-Agent: A";
    ASSERT_EQ(http_request(server.url("/ua2"), hidden), "ok");
    const std::string second = server.requests().back().raw;
    EXPECT_NE(second.find("\r\nUser-Agent: 1\r\nX-Id: 1\r\nX-Original-User-Agent: A\r\nReferer: "), std::string::npos)
        << second;

    // A line with an empty value is sent as it is, not taken as "leave this header out".
    HttpRequestOptions empty_value;
    empty_value.headers = "X-Empty:\r\nUser-Agent:";
    ASSERT_EQ(http_request(server.url("/ua3"), empty_value), "ok");
    const std::string third = server.requests().back().raw;
    EXPECT_NE(third.find("\r\nX-Empty:\r\nUser-Agent:\r\n"), std::string::npos) << third;
}

TEST(HttpRequest, BodiesForPostAndOtherMethods) {
    ScriptedServer server(answer("done"));
    HttpRequestOptions post;
    post.method = 1;
    post.post_text = "a=1";
    ASSERT_EQ(http_request(server.url("/post"), post), "done");
    EXPECT_EQ(post.post_bytes, "a=1");
    auto sent = server.requests().back();
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.body, "a=1");
    EXPECT_NE(sent.raw.find("\r\nContent-Length: 3\r\n"), std::string::npos);
    EXPECT_EQ(sent.raw.find("Expect:"), std::string::npos);

    // Any other non-zero method sends "GET" with a body; post_bytes wins over post_text.
    HttpRequestOptions get_with_body;
    get_with_body.method = 2;
    get_with_body.post_text = "ignored";
    get_with_body.post_bytes = Bytes("x\0y", 3);
    ASSERT_EQ(http_request(server.url("/g"), get_with_body), "done");
    sent = server.requests().back();
    EXPECT_EQ(sent.method, "GET");
    EXPECT_EQ(sent.body, Bytes("x\0y", 3));

    // A body larger than libcurl's own threshold still goes out at once (no "Expect: 100-continue").
    HttpRequestOptions large;
    large.method = 1;
    large.post_text = std::string(70000, 'z');
    ASSERT_EQ(http_request(server.url("/big"), large), "done");
    sent = server.requests().back();
    EXPECT_EQ(sent.body.size(), 70000u);
    EXPECT_EQ(sent.raw.find("Expect:"), std::string::npos);
}

TEST(HttpRequest, RedirectsAreFollowedAndOnlyTheLastResponseIsReported) {
    ScriptedServer server([](Exchange& ex) {
        const std::string& target = ex.request.target;
        if (target == "/a") {
            ex.send(http_response("302 Found", "Location: /b\r\nSet-Cookie: hop=1; path=/redir-test\r\n", "moved"));
        } else if (target == "/b") {
            ex.send(http_response("301 Moved Permanently", "Location: /c\r\n", "moved again"));
        } else {
            ex.send(http_response("200 OK", "Content-Location: /c-final\r\n", "final"));
        }
    });
    HttpRequestOptions options;
    options.redirect_url = "kept";
    EXPECT_EQ(http_request(server.url("/a"), options), "final");
    EXPECT_EQ(server.requests().size(), 3u);
    EXPECT_EQ(options.response_headers, "HTTP/1.1 200 OK\r\nContent-Location: /c-final\r\nContent-Length: 5\r\n");
    EXPECT_EQ(options.redirect_url, "/c-final");  // "Content-Location:" matches "Location:" too

    HttpRequestOptions not_followed;
    not_followed.no_redirect = true;
    EXPECT_EQ(http_request(server.url("/a"), not_followed), "moved");
    EXPECT_EQ(server.requests().size(), 4u);
    EXPECT_EQ(not_followed.redirect_url, "/b");
    EXPECT_EQ(not_followed.returned_cookies, "hop=1");
    EXPECT_EQ(not_followed.response_headers.substr(0, 20), "HTTP/1.1 302 Found\r\n");

    // Without a Location line the caller's text is left as it was.
    ScriptedServer plain(answer("x"));
    HttpRequestOptions untouched;
    untouched.redirect_url = "kept";
    http_request(plain.url("/"), untouched);
    EXPECT_EQ(untouched.redirect_url, "kept");
    // Left empty it stays empty; it never turns into a copy of the response headers.
    HttpRequestOptions empty;
    http_request(plain.url("/"), empty);
    EXPECT_EQ(empty.redirect_url, "");
}

TEST(HttpRequest, RedirectsOnlyToWebSchemesAndAtMostTwenty) {
    ScriptedServer to_file(
        [](Exchange& ex) { ex.send(http_response("302 Found", "Location: file:///etc/passwd\r\n", "no")); });
    HttpRequestOptions options;
    EXPECT_EQ(http_request(to_file.url("/"), options), "");
    EXPECT_EQ(to_file.requests().size(), 1u);

    ScriptedServer endless([](Exchange& ex) {
        const int hop = std::stoi(ex.request.target.substr(1));
        ex.send(http_response("302 Found", "Location: /" + std::to_string(hop + 1) + "\r\n", "again"));
    });
    EXPECT_EQ(http_request(endless.url("/0")), "");
    EXPECT_EQ(endless.requests().size(), 21u);  // the first request and twenty redirects

    ScriptedServer twenty([](Exchange& ex) {
        const int hop = std::stoi(ex.request.target.substr(1));
        ex.send(hop < 20 ? http_response("302 Found", "Location: /" + std::to_string(hop + 1) + "\r\n", "")
                         : http_response("200 OK", "", "arrived"));
    });
    EXPECT_EQ(http_request(twenty.url("/0")), "arrived");
}

TEST(HttpRequest, ProxyServesPlainHttpOnly) {
    ScriptedServer proxy(answer("via proxy"));
    ScriptedServer origin(answer("direct"));
    HttpRequestOptions options;
    options.proxy = proxy.host_port();
    // The address is never connected to: the proxy is asked for it in absolute form.
    const Text far_url = "http://127.0.0.1:9/far/page?x=1";
    EXPECT_EQ(http_request(far_url, options), "via proxy");
    ASSERT_EQ(proxy.requests().size(), 1u);
    const std::string sent = proxy.requests()[0].raw;
    EXPECT_EQ(sent.substr(0, sent.find("\r\n")), "GET http://127.0.0.1:9/far/page?x=1 HTTP/1.1");
    EXPECT_NE(sent.find("\r\nHost: 127.0.0.1:9\r\n"), std::string::npos);

    // Given as "": no proxy at all.
    HttpRequestOptions empty_proxy;
    empty_proxy.proxy = "";
    EXPECT_EQ(http_request(origin.url("/d"), empty_proxy), "direct");
    EXPECT_EQ(origin.requests().back().target, "/d");
    EXPECT_EQ(proxy.requests().size(), 1u);
}

TEST(HttpRequest, UnusableAddressChangesNothing) {
    HttpRequestOptions options;
    options.headers = "X: 1";
    options.response_headers = "before";
    EXPECT_EQ(http_request("http://127.0.0.1:99999/x", options), "");
    EXPECT_EQ(options.headers, "X: 1");
    EXPECT_EQ(options.response_headers, "before");
}

}  // namespace
}  // namespace lunvek
