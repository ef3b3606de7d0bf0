#include "test_site.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
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
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        pid_ = -1;
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
