// Runs lunvek-site as a child process on a free loopback port and talks raw HTTP/1.1 to it.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace lunvek::site::testing {

struct RawResponse {
    int status = 0;                              // 0 when nothing readable came back
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;

    std::string header(const std::string& lower_name) const {
        const auto found = headers.find(lower_name);
        return found == headers.end() ? std::string() : found->second;
    }
};

class ServerProcess {
  public:
    // Starts the program with --port 0 and `args`; port() is 0 when it did not come up.
    explicit ServerProcess(const std::vector<std::string>& args = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // Sends the signal and returns the exit status (as from waitpid), or -1 when it did not end within 10 s.
    int stop(int signal_number = SIGTERM);

    // One request on a fresh connection; `request` is sent as it is.
    RawResponse exchange(const std::string& request) const;
    RawResponse get(const std::string& target, const std::string& method = "GET") const;

  private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// Runs a command, returns its standard output (standard error discarded).
std::string run_command(const std::vector<std::string>& argv, int* exit_status = nullptr);

}  // namespace lunvek::site::testing
