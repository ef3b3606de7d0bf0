// A small HTTP server on 127.0.0.1 that serves fixed pages from the test's own main loop (no thread).
#pragma once

#include <libsoup/soup.h>

#include <map>
#include <string>

namespace lunvek::test {

class TestServer {
  public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    void add_page(const std::string& path, const std::string& html) { pages_[path] = html; }
    std::string url(const std::string& path) const;

  private:
    static void serve(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*, gpointer self);

    SoupServer* server_ = nullptr;
    int port_ = 0;
    std::map<std::string, std::string> pages_;
};

}  // namespace lunvek::test
