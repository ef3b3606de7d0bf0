// A real lunvek-site process on a free loopback port, for the duration of one test.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace lunvek::testing {

class TestSite {
  public:
    // Starts lunvek-site --port 0 with `flags`; fails the test when it does not come up.
    explicit TestSite(const std::vector<std::string>& flags = {});
    ~TestSite();
    TestSite(const TestSite&) = delete;
    TestSite& operator=(const TestSite&) = delete;

    const std::string& base() const { return base_; }  // "http://127.0.0.1:PORT"
    int port() const { return port_; }

  private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string base_;
};

// A loopback address where nothing listens: every request to it fails.
std::string dead_base();

// A catalogue file for the site: `count` entries named "<prefix> N" with known dates, sizes and hashes.
// Returns its path (in the test's temporary folder).
std::string write_catalogue(const std::string& file_name, const std::vector<std::string>& lines);

}  // namespace lunvek::testing
