// Hostile and broken servers: every case ends quietly with the body read so far, within the limits.
#include <gtest/gtest.h>

#include <chrono>

#include "net/http_request.h"
#include "net/transfer_limits.h"
#include "net_test_support.h"

namespace lunvek {
namespace {

using testing::answer;
using testing::Exchange;
using testing::http_response;
using testing::ScriptedServer;

// Short limits so that the stall and cap rules show within a second or two.
class HttpRequestFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = transfer_limits();
        TransferLimits shortened = saved_;
        shortened.stall_time = std::chrono::seconds(1);
        shortened.max_body_bytes = 1 << 20;
        set_transfer_limits(shortened);
    }
    void TearDown() override { set_transfer_limits(saved_); }

  private:
    TransferLimits saved_;
};

TEST_F(HttpRequestFaults, LimitsDefaultToTheDocumentedValues) {
    const TransferLimits defaults;
    EXPECT_EQ(defaults.connect_timeout, std::chrono::seconds(60));
    EXPECT_EQ(defaults.stall_time, std::chrono::seconds(30));
    EXPECT_EQ(defaults.max_body_bytes, 64u * 1024 * 1024);
}

TEST_F(HttpRequestFaults, SilentServerEndsAsAFailedRequest) {
    ScriptedServer server([](Exchange& ex) { ex.stay_silent(); });
    HttpRequestOptions options;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(http_request(server.url("/"), options), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(options.response_headers, std::string(5000, ' '));
}

TEST_F(HttpRequestFaults, PartialBodiesAreKept) {
    const struct {
        const char* name;
        testing::Script script;
        const char* body;
    } cases[] = {
        {"early close",
         [](Exchange& ex) {
             ex.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789");
             ex.close();
         },
         "0123456789"},
        {"broken chunked encoding",
         [](Exchange& ex) {
             ex.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\nzz\r\nworld\r\n0\r\n\r\n");
             ex.close();
         },
         "hello"},
        {"trickle then stall",
         [](Exchange& ex) {
             ex.send("HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\n");
             for (const char c : std::string("abc")) {
                 ex.send(std::string(1, c));
                 ex.pause(std::chrono::milliseconds(200));
             }
             ex.stay_silent();
         },
         "abc"},
        {"endless chunked body",
         [](Exchange& ex) {
             ex.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
             const std::string chunk = "1000\r\n" + std::string(0x1000, 'x') + "\r\n";
             while (ex.send(chunk)) {
             }
             ex.close();
         },
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(c.script);
        HttpRequestOptions options;
        const Bytes body = http_request(server.url("/"), options);
        if (c.body != nullptr) {
            EXPECT_EQ(body, c.body);
        } else {
            EXPECT_EQ(body, std::string(1 << 20, 'x'));  // exactly the cap
        }
        EXPECT_EQ(options.response_headers.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    }
}

TEST_F(HttpRequestFaults, EndlessTrickleEndsWithWhatArrived) {
    ScriptedServer server([](Exchange& ex) {
        ex.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
        while (ex.send("a") && ex.pause(std::chrono::milliseconds(1200))) {
        }
    });
    const Bytes body = http_request(server.url("/"));
    EXPECT_FALSE(body.empty());
    EXPECT_LT(body.size(), 20u);
    EXPECT_EQ(body, std::string(body.size(), 'a'));
}

TEST_F(HttpRequestFaults, HeaderBlockBeyondTheBufferReadsAsSpaces) {
    // The block is reported while it fits 5000 bytes with its terminating zero.
    const auto block_of = [](std::size_t size, const std::string& extra) {
        std::string head = "HTTP/1.1 200 OK\r\n" + extra + "Content-Length: 2\r\n";
        const std::string pad_start = "X-Pad: ";
        head += pad_start + std::string(size - head.size() - pad_start.size() - 2, 'p') + "\r\n";
        return head;
    };
    for (const std::size_t size : {4999u, 5000u}) {
        SCOPED_TRACE(size);
        const std::string block = block_of(size, "Set-Cookie: big=1; path=/big-headers\r\nLocation: /there\r\n");
        ASSERT_EQ(block.size(), size);
        ScriptedServer server([&](Exchange& ex) { ex.send(block + "\r\nok"); });
        HttpRequestOptions options;
        options.no_redirect = true;
        EXPECT_EQ(http_request(server.url("/"), options), "ok");
        if (size == 4999) {
            EXPECT_EQ(options.response_headers, block);
            EXPECT_EQ(options.returned_cookies, "big=1");
            EXPECT_EQ(options.redirect_url, "/there");
        } else {
            EXPECT_EQ(options.response_headers, std::string(5000, ' '));
            EXPECT_EQ(options.returned_cookies, "");
            EXPECT_EQ(options.redirect_url, "");
        }
    }
}

TEST_F(HttpRequestFaults, EndlessHeaderBlockEndsTheRequest) {
    ScriptedServer server([](Exchange& ex) {
        ex.send("HTTP/1.1 200 OK\r\n");
        const std::string line = "X-Flood: " + std::string(1000, 'f') + "\r\n";
        while (ex.send(line)) {
        }
        ex.close();
    });
    HttpRequestOptions options;
    EXPECT_EQ(http_request(server.url("/"), options), "");
    EXPECT_EQ(options.response_headers, std::string(5000, ' '));
}

TEST_F(HttpRequestFaults, RefusedConnectionGivesNothing) {
    int port;
    {
        ScriptedServer closed(answer(""));
        port = closed.port();
    }
    HttpRequestOptions options;
    options.send_cookies = "a=1; b=2";
    EXPECT_EQ(http_request("http://127.0.0.1:" + std::to_string(port) + "/", options), "");
    EXPECT_EQ(options.response_headers, std::string(5000, ' '));
    EXPECT_EQ(*options.send_cookies, "a=1; b=2");
    EXPECT_NE(options.headers.find("\r\nCookie: a=1; b=2"), std::string::npos);
}

}  // namespace
}  // namespace lunvek
