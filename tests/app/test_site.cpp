#include "test_site.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

extern char** environ;

namespace lunvek::testing {

namespace {

// Reads the site's first line ("lunvek-site listening on http://127.0.0.1:PORT"), at most 10 s.
std::string read_first_line(int fd) {
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd wait{fd, POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0) {
            continue;
        }
        char buffer[256];
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        line.append(buffer, static_cast<size_t>(got));
    }
    return line;
}

}  // namespace

TestSite::TestSite(const std::vector<std::string>& flags) {
    std::vector<std::string> args{LUNVEK_SITE_PROGRAM, "--port", "0"};
    args.insert(args.end(), flags.begin(), flags.end());
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0) {
        ADD_FAILURE() << "pipe failed";
        return;
    }
    // The site is a fixture here, not the code under test: under ThreadSanitizer its own findings (it links
    // an uninstrumented HTTP library) are left to its own tests instead of killing it mid-test.
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        if (std::string(*entry).rfind("TSAN_OPTIONS=", 0) != 0) {
            environment.emplace_back(*entry);
        }
    }
    environment.emplace_back("TSAN_OPTIONS=report_bugs=0");
    std::vector<char*> envp;
    for (auto& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    const std::string log = std::filesystem::temp_directory_path() / "lunvek-site.log";

    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        // The site goes with this process even when a test crashes, and keeps no pipe of ctest's open.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(127);
        }
        dup2(out[1], STDOUT_FILENO);
        int err = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        dup2(err, STDERR_FILENO);
        close(out[0]);
        close(out[1]);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    if (pid_ < 0) {
        close(out[0]);
        ADD_FAILURE() << "cannot start " << argv[0];
        return;
    }
    const std::string line = read_first_line(out[0]);
    close(out[0]);  // the site prints nothing else we need; a closed pipe costs it nothing
    const std::string marker = "http://127.0.0.1:";
    const auto at = line.find(marker);
    if (at == std::string::npos) {
        ADD_FAILURE() << "lunvek-site did not report its port: " << line;
        return;
    }
    port_ = std::atoi(line.c_str() + at + marker.size());
    base_ = marker + std::to_string(port_);
}

TestSite::~TestSite() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

std::string dead_base() {
    // Bind a free port, then let it go: nothing listens there afterwards.
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

std::string write_catalogue(const std::string& file_name, const std::vector<std::string>& lines) {
    auto path = std::filesystem::temp_directory_path() / file_name;
    std::ofstream file(path);
    for (const auto& line : lines) {
        file << line << '\n';
    }
    return path.string();
}

}  // namespace lunvek::testing
