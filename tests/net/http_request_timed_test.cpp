// The timed request: its own wire profile, the bound on the caller's wait, the abandoned worker, the
// window hook, and its cookie step into the shared store.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "net/cookie_store.h"
#include "net/http_request.h"
#include "net/http_request_timed.h"
#include "net/timed_request_worker.h"
#include "net_test_support.h"

namespace lunvek {
namespace {

using namespace std::chrono_literals;
using testing::answer;
using testing::Exchange;
using testing::header_lines;
using testing::http_response;
using testing::ScriptedServer;

constexpr const char* timed_accept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";

void wait_for_workers_to_end() {
    for (int i = 0; i < 1000 && timed_request_workers_running() > 0; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(timed_request_workers_running(), 0);
}

class TimedRequest : public ::testing::Test {
  protected:
    void TearDown() override {
        set_timed_request_wait_hook(nullptr);
        wait_for_workers_to_end();
    }
};

TEST_F(TimedRequest, WaitIsTheLimitInMillisecondsAndZeroMeansNinetySeconds) {
    EXPECT_EQ(timed_request_wait(0), 90s);
    EXPECT_EQ(timed_request_wait(10), 10000ms);
    EXPECT_EQ(timed_request_wait(1), 1000ms);
    EXPECT_EQ(timed_request_wait(-5), 90s);  // a negative limit never means "wait almost for ever"
    EXPECT_EQ(timed_request_wait(3000000), std::chrono::milliseconds(3000000000LL));  // no overflow
}

TEST_F(TimedRequest, VersionCheckRequestOnTheWire) {
    ScriptedServer server(answer("20150117", "X-V: 1\r\n"));
    const Text url = server.url("/soft/version.html");
    TimedRequestOptions options;
    options.method = "GET";
    options.time_limit = 10;
    EXPECT_EQ(http_request_timed(url, options), "20150117");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].raw, "GET /soft/version.html HTTP/1.1\r\nHost: " + server.host_port() +
                                            "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n" +
                                            timed_accept + "Referer: " + url + "\r\nAccept-Language: zh-cn\r\n\r\n");
    EXPECT_EQ(options.response_headers, "HTTP/1.1 200 OK\r\nX-V: 1\r\nContent-Length: 8\r\n");
    EXPECT_EQ(http_request_timed(url, "GET", {}, {}, 10), "20150117");  // the version check's own call
}

TEST_F(TimedRequest, MethodsBodiesAndHeaderDefaults) {
    ScriptedServer server(answer("ok"));
    const Text url = server.url("/m");
    const struct {
        const char* method;
        const char* post_text;
        const char* headers;
        const char* verb;
        const char* added;  // the lines after Host and User-Agent; {url} is the URL
        const char* body;
    } cases[] = {
        {"post", "a=1", "", "POST",
         "{accept}Referer: {url}\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\n"
         "Content-Length: 3\r\n",
         "a=1"},
        {"get", "ignored", "", "GET", "{accept}Referer: {url}\r\nAccept-Language: zh-cn\r\n", ""},
        {"", "", "", "GET", "{accept}Referer: {url}\r\nAccept-Language: zh-cn\r\n", ""},
        {"HEAD", "", "", "HEAD", "{accept}Referer: {url}\r\nAccept-Language: zh-cn\r\nContent-Length: 0\r\n", ""},
        {"put", "xyz", "", "PUT",
         "{accept}Referer: {url}\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\n"
         "Content-Length: 3\r\n",
         "xyz"},
        // Searches ignore case: a caller's own lines are kept and not repeated.
        {"GET", "", "accept: text/html\r\nREFERER: r\r\naccept-language: en\r\n", "GET",
         "accept: text/html\r\nREFERER: r\r\naccept-language: en\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.headers);
        const Bytes body = http_request_timed(url, c.method, c.post_text, c.headers, 10);
        EXPECT_EQ(body, std::string(c.verb) == "HEAD" ? "" : "ok");
        const auto sent = server.requests().back();
        EXPECT_EQ(sent.method, c.verb);
        EXPECT_EQ(sent.body, c.body);
        std::string added = c.added;
        for (const auto& [key, value] :
             {std::pair<std::string, std::string>{"{accept}", timed_accept}, {"{url}", url}}) {
            if (const auto at = added.find(key); at != std::string::npos) {
                added.replace(at, key.size(), value);
            }
        }
        EXPECT_EQ(header_lines(sent.raw), "Host: " + server.host_port() +
                                              "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n" +
                                              added);
    }
}

TEST_F(TimedRequest, HttpsAddressIsFetchedOverPlainHttpAndBlankProxyMeansDirect) {
    ScriptedServer server(answer("plain"));
    TimedRequestOptions options;
    options.proxy = "   ";
    options.user_name = "  ";
    EXPECT_EQ(http_request_timed("https://" + server.host_port() + "/x", options), "plain");
    EXPECT_EQ(server.requests().back().target, "/x");
    EXPECT_EQ(server.requests().back().raw.find("Authorization:"), std::string::npos);
}

TEST_F(TimedRequest, ProxyAndCredentials) {
    ScriptedServer proxy(answer("proxied"));
    TimedRequestOptions options;
    options.proxy = proxy.host_port();
    options.user_name = "user";
    options.password = "pw";
    EXPECT_EQ(http_request_timed("http://127.0.0.1:9/v.html", options), "proxied");
    const std::string sent = proxy.requests().back().raw;
    EXPECT_EQ(sent.substr(0, sent.find("\r\n")), "GET http://127.0.0.1:9/v.html HTTP/1.1");
    EXPECT_NE(sent.find("\r\nAuthorization: Basic dXNlcjpwdw==\r\n"), std::string::npos);
}

TEST_F(TimedRequest, SilentServerTimesOutAtTheLimit) {
    ScriptedServer server([](Exchange& ex) { ex.stay_silent(); });
    TimedRequestOptions options;
    options.time_limit = 1;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(http_request_timed(server.url("/slow"), options), "");
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, 1s);
    EXPECT_LT(waited, 3s);
    EXPECT_EQ(options.response_headers, "");  // the worker had emptied the buffer
}

TEST_F(TimedRequest, AbandonedWorkerFinishingLaterChangesNothing) {
    ScriptedServer server([](Exchange& ex) {
        ex.pause(2500ms);  // well after the limit and libcurl's next look at the cancel flag
        ex.send(http_response("200 OK", "Set-Cookie: late=1; path=/late\r\n", "late body"));
    });
    TimedRequestOptions options;
    options.time_limit = 1;
    const Bytes body = http_request_timed(server.url("/late/x"), options);
    EXPECT_EQ(body, "");
    const Text headers_at_return = options.response_headers;

    std::this_thread::sleep_for(2000ms);  // the server answers meanwhile
    wait_for_workers_to_end();
    EXPECT_EQ(options.response_headers, headers_at_return);
    for (const Text& line : stored_cookies()) {
        EXPECT_EQ(line.find("\tlate\t"), std::string::npos) << line;
    }
}

TEST_F(TimedRequest, WaitHookKeepsTheWindowAliveButNeverExtendsTheLimit) {
    std::atomic<int> calls{0};
    set_timed_request_wait_hook([&] {
        ++calls;
        return true;  // as on the window thread
    });
    ScriptedServer slow([](Exchange& ex) {
        ex.pause(300ms);
        ex.send(http_response("200 OK", "", "after a while"));
    });
    EXPECT_EQ(http_request_timed(slow.url("/"), "GET", {}, {}, 5), "after a while");
    EXPECT_GT(calls.load(), 5);

    ScriptedServer silent([](Exchange& ex) { ex.stay_silent(); });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(http_request_timed(silent.url("/"), "GET", {}, {}, 1), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);

    // A thread without a window: the hook says so once and the thread simply waits.
    calls = 0;
    set_timed_request_wait_hook([&] {
        ++calls;
        return false;
    });
    EXPECT_EQ(http_request_timed(slow.url("/"), "GET", {}, {}, 5), "after a while");
    EXPECT_EQ(calls.load(), 1);
}

TEST_F(TimedRequest, StoredCookiesAreSentByHttpRequest) {
    // A host of its own, so that its root-path cookie meets no other test.
    ScriptedServer server(
        [](Exchange& ex) {
            if (ex.request.target == "/soft/deep/set") {
                ex.send(http_response("200 OK", "Set-Cookie: sid=abc; path=/\r\nSet-Cookie: auto=1\r\n", "set"));
            } else {
                ex.send(http_response("200 OK", "", "page"));
            }
        },
        "127.0.0.2");
    EXPECT_EQ(http_request_timed(server.url("/soft/deep/set")), "set");
    // "auto" came without a path: the cookie step stores it for the whole host, beyond "/soft/deep".
    EXPECT_EQ(http_request(server.url("/other")), "page");
    const std::string raw = server.requests().back().raw;
    EXPECT_NE(raw.find("\r\nCookie: "), std::string::npos) << raw;
    EXPECT_NE(raw.find("sid=abc"), std::string::npos) << raw;
    EXPECT_NE(raw.find("auto=1"), std::string::npos) << raw;
}

TEST_F(TimedRequest, LongHeaderBlockKeepsTheBodyButStoresNoCookie) {
    ScriptedServer server(
        [](Exchange& ex) {
            const std::string pad = "X-Pad: " + std::string(1100, 'p') + "\r\n";
            ex.send(http_response("200 OK", "Set-Cookie: toolong=1\r\n" + pad, "body"));
        },
        "127.0.0.3");
    TimedRequestOptions options;
    EXPECT_EQ(http_request_timed(server.url("/long/x"), options), "body");
    EXPECT_EQ(options.response_headers, std::string(1024, ' '));
    http_request(server.url("/other"));
    EXPECT_EQ(server.requests().back().raw.find("toolong"), std::string::npos);
}

TEST_F(TimedRequest, UnreachableServerGivesEmptyBytesQuickly) {
    int port;
    {
        ScriptedServer closed(answer(""));
        port = closed.port();
    }
    TimedRequestOptions options;
    options.time_limit = 5;
    EXPECT_EQ(http_request_timed("http://127.0.0.1:" + std::to_string(port) + "/", options), "");
    EXPECT_EQ(options.response_headers, std::string(1024, ' '));
}

TEST_F(TimedRequest, ProcessEndsCleanlyWhileAnAbandonedWorkerStillWaits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // Never torn down: the worker is still inside its request when the process ends.
            static ScriptedServer* const silent = new ScriptedServer([](Exchange& ex) { ex.stay_silent(); });
            const bool empty = http_request_timed(silent->url("/"), "GET", {}, {}, 1).empty();
            std::exit(empty && timed_request_workers_running() == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(TimedRequest, ConcurrentCallsEachGetTheirOwnAnswer) {
    ScriptedServer server([](Exchange& ex) {
        ex.pause(std::chrono::milliseconds(ex.request.target.size() * 3));
        ex.send(http_response("200 OK", "", "answer to " + ex.request.target));
    });
    std::vector<std::thread> callers;
    for (int i = 0; i < 12; ++i) {
        callers.emplace_back([&server, i] {
            const std::string path = "/c" + std::to_string(i);
            for (int round = 0; round < 3; ++round) {
                EXPECT_EQ(http_request_timed(server.url(path), "GET", {}, {}, 10), "answer to " + path);
            }
        });
    }
    for (auto& caller : callers) {
        caller.join();
    }
}

TEST_F(TimedRequest, WorkerTakesOnlyARequestRecord) {
    EXPECT_FALSE(detail::timed_request_worker(nullptr));
    auto shared = std::make_shared<detail::TimedRequestShared>();
    shared->buffer.write_text("Other");
    shared->buffer.write_text("http://127.0.0.1:9/");
    EXPECT_FALSE(detail::timed_request_worker(shared));
    EXPECT_EQ(shared->buffer.data(), Bytes("Other\0http://127.0.0.1:9/\0", 26));
}

}  // namespace
}  // namespace lunvek
