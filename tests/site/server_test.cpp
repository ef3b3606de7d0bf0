// The real lunvek-site process on a loopback port: hostile requests get defined answers and the server
// keeps serving; the switches the end-to-end tests use do what they say; signals end it cleanly.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>

#include "server_process.h"

namespace lunvek::site {
namespace {

using testing::RawResponse;
using testing::run_command;
using testing::ServerProcess;

std::string request(const std::string& line, const std::string& headers = "Host: 127.0.0.1\r\n",
                    const std::string& body = {}) {
    return line + "\r\n" + headers + "Connection: close\r\n\r\n" + body;
}

TEST(Server, HostileRequestsGetDefinedAnswersAndTheServerKeepsServing) {
    ServerProcess server;
    ASSERT_GT(server.port(), 0);
    const std::string megabyte(1 << 20, 'a');
    const struct {
        std::string name, raw;
        int status;
        std::string must_hold;
    } cases[] = {
        {"lone percent", request("GET /search?keyword=% HTTP/1.1"), 200, "没有找到有关%的结果"},
        {"short escape", request("GET /search?keyword=%4 HTTP/1.1"), 200, "没有找到有关%4的结果"},
        {"bad hex", request("GET /search?keyword=%GG HTTP/1.1"), 200, "没有找到有关%GG的结果"},
        {"invalid UTF-8", request("GET /search?keyword=%C3%28%FF HTTP/1.1"), 200, "没有找到有关%C3%28%FF的结果"},
        {"raw invalid bytes", request("GET /search?keyword=\xff\xfe HTTP/1.1"), 200, "没有找到有关\uFFFD\uFFFD的结果"},
        {"1 MB keyword", request("GET /search?keyword=" + megabyte + " HTTP/1.1"), 414, ""},
        {"1 MB encoded keyword", request("GET /search?keyword=%E4%B8%AD" + megabyte + " HTTP/1.1"), 414, ""},
        {"unknown path", request("GET /no/such/page HTTP/1.1"), 404, "404"},
        {"POST on a page", request("POST / HTTP/1.1", "Host: x\r\nContent-Length: 7\r\n", "a=b&c=d"), 405, ""},
        {"POST 2 MB body", request("POST /search HTTP/1.1", "Content-Length: 2097152\r\n", megabyte + megabyte), 405,
         ""},
        {"garbage", "GARBAGE\r\n\r\n", 400, ""},
        {"HTTP/1.0 without Host", "GET /search?keyword=fedora HTTP/1.0\r\n\r\n", 200,
         "href=\"http://127.0.0.1:" + std::to_string(server.port()) + "/hash/"},
        // The desktop tool's own request profile: form content type on a GET, referer, language.
        {"tool profile",
         request("GET /search?keyword=%E7%94%B5%E5%BD%B1&p=2 HTTP/1.1",
                 "Host: 127.0.0.1:" + std::to_string(server.port()) +
                     "\r\nReferer: http://127.0.0.1/\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
                     "Content-Type: application/x-www-form-urlencoded\r\nUser-Agent: Mozilla/4.0\r\n"),
         200, "totalPages:3,"},
    };
    for (const auto& c : cases) {
        const RawResponse response = server.exchange(c.raw);
        EXPECT_EQ(response.status, c.status) << c.name;
        EXPECT_NE(response.body.find(c.must_hold), std::string::npos) << c.name;
        EXPECT_EQ(server.get("/").status, 200) << "not serving after " << c.name;
    }
}

TEST(Server, HeadAnswersWithTheHeadersOfGetAndNoBody) {
    ServerProcess server;
    ASSERT_GT(server.port(), 0);
    const RawResponse get = server.get("/search?keyword=iso");
    const RawResponse head = server.get("/search?keyword=iso", "HEAD");
    ASSERT_EQ(head.status, 200);
    EXPECT_EQ(head.body, "");
    EXPECT_EQ(head.header("content-length"), std::to_string(get.body.size()));
    EXPECT_EQ(head.header("content-type"), "text/html; charset=utf-8");
    const RawResponse post = server.get("/soft/version.html", "POST");
    EXPECT_EQ(post.status, 405);
    EXPECT_EQ(post.header("allow"), "GET, HEAD");
}

TEST(Server, TestSwitchesMisbehaveAsAsked) {
    ServerProcess server(
        {"--fail-page", "2", "--version-date", "20991231", "--results-per-page", "7", "--delay-ms", "300"});
    ASSERT_GT(server.port(), 0);
    const auto started = std::chrono::steady_clock::now();
    const RawResponse version = server.get("/soft/version.html");
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
    EXPECT_EQ(version.body, "20991231");
    EXPECT_EQ(version.header("content-type"), "text/html");
    const RawResponse failed = server.get("/search?keyword=debian&p=2");
    EXPECT_EQ(failed.status, 500);
    EXPECT_EQ(failed.body, "");
    const RawResponse third = server.get("/search?keyword=debian&p=3");
    EXPECT_EQ(third.status, 200);
    EXPECT_NE(third.body.find("totalPages:8,"), std::string::npos);  // 51 results, 7 a page
    size_t results = 0;
    for (size_t at = third.body.find("data-hash="); at != std::string::npos; at = third.body.find("data-hash=", at + 1))
        ++results;
    EXPECT_EQ(results, 7u);

    ServerProcess closing({"--close-early"});
    ASSERT_GT(closing.port(), 0);
    for (int i = 0; i < 3; ++i) {
        const RawResponse cut = closing.get("/search?keyword=debian");
        EXPECT_EQ(cut.status, 200);
        EXPECT_LT(cut.body.size(), std::stoul(cut.header("content-length")));
        EXPECT_GT(cut.body.size(), 0u);
    }
}

TEST(Server, EndsCleanlyOnSigtermAndSigint) {
    for (const int signal_number : {SIGTERM, SIGINT}) {
        ServerProcess server;
        ASSERT_GT(server.port(), 0);
        EXPECT_EQ(server.get("/").status, 200);
        const int status = server.stop(signal_number);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << signal_number << " gave " << status;
    }
}

TEST(Server, RefusesBadFlagsAndExplainsItself) {
    const struct {
        std::vector<std::string> args;
        int exit_code;
        std::string must_print;
    } cases[] = {
        {{"--help"}, 0, "--torrent-dir DIR"},
        {{"--bind", "0.0.0.0"}, 2, ""},
        {{"--port", "70000"}, 2, ""},
        {{"--results-per-page", "0"}, 2, ""},
        {{"--delay-ms"}, 2, ""},
        {{"--frobnicate"}, 2, ""},
        {{"--catalogue", "/nonexistent/catalogue.txt"}, 1, ""},
        {{"--torrent-dir", "/nonexistent/folder"}, 1, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv = {LUNVEK_SITE_PROGRAM};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        int status = -1;
        const std::string out = run_command(argv, &status);
        EXPECT_TRUE(WIFEXITED(status)) << c.args[0];
        EXPECT_EQ(WEXITSTATUS(status), c.exit_code) << c.args[0];
        EXPECT_NE(out.find(c.must_print), std::string::npos) << c.args[0];
    }
}

}  // namespace
}  // namespace lunvek::site
