#include "server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace lunvek::site::testing {

namespace {

pid_t spawn(const std::vector<std::string>& argv, int& stdout_read) {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0)
            dup2(null, 2);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(fds[1]);
    stdout_read = fds[0];
    return pid;
}

// Reads until `fd` closes or `deadline_ms` passes.
std::string read_all(int fd, int deadline_ms) {
    std::string out;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms);
    char buffer[65536];
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        out.append(buffer, static_cast<size_t>(n));
    }
    return out;
}

}  // namespace

ServerProcess::ServerProcess(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {LUNVEK_SITE_PROGRAM, "--port", "0"};
    argv.insert(argv.end(), args.begin(), args.end());
    int out = -1;
    pid_ = spawn(argv, out);
    if (pid_ < 0)
        return;
    // The program prints its one ready line and nothing else on standard output.
    std::string line;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
        pollfd p{out, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0)
            continue;
        char c;
        if (read(out, &c, 1) != 1)
            break;
        line.push_back(c);
    }
    close(out);
    const std::string prefix = "lunvek-site listening on http://127.0.0.1:";
    if (line.starts_with(prefix))
        port_ = std::atoi(line.c_str() + prefix.size());
}

ServerProcess::~ServerProcess() {
    stop();
}

int ServerProcess::stop(int signal_number) {
    if (pid_ <= 0)
        return -1;
    kill(pid_, signal_number);
    int status = 0;
    for (int i = 0; i < 1000; ++i) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return -1;
}

RawResponse ServerProcess::exchange(const std::string& request) const {
    RawResponse response;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return response;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return response;
    }
    size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;  // the server may answer and close before reading everything
        sent += static_cast<size_t>(n);
    }
    // Reads until the server closes or the body announced by Content-Length is complete: after an error
    // answer the server may keep the connection open until its keep-alive time runs out.
    std::string raw;
    const bool head = request.starts_with("HEAD ");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    char buffer[65536];
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0)
            continue;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        raw.append(buffer, static_cast<size_t>(n));
        const size_t head_end = raw.find("\r\n\r\n");
        if (head_end == std::string::npos)
            continue;
        std::string lower = raw.substr(0, head_end);
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const size_t length_at = lower.find("\r\ncontent-length:");
        const size_t length = length_at == std::string::npos
                                  ? std::string::npos
                                  : std::strtoul(lower.c_str() + length_at + 17, nullptr, 10);
        if (length != std::string::npos && (head || raw.size() >= head_end + 4 + length))
            break;
    }
    close(fd);

    const size_t head_end = raw.find("\r\n\r\n");
    if (!raw.starts_with("HTTP/1.1 ") || head_end == std::string::npos)
        return response;
    response.status = std::atoi(raw.c_str() + 9);
    size_t line = raw.find("\r\n") + 2;
    while (line < head_end) {
        const size_t next = raw.find("\r\n", line);
        const std::string header = raw.substr(line, next - line);
        const size_t colon = header.find(':');
        if (colon != std::string::npos) {
            std::string name = header.substr(0, colon);
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            response.headers[name] = header.substr(header.find_first_not_of(' ', colon + 1));
        }
        line = next + 2;
    }
    response.body = raw.substr(head_end + 4);
    return response;
}

RawResponse ServerProcess::get(const std::string& target, const std::string& method) const {
    return exchange(method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port_) +
                    "\r\nConnection: close\r\n\r\n");
}

std::string run_command(const std::vector<std::string>& argv, int* exit_status) {
    int out = -1;
    const pid_t pid = spawn(argv, out);
    if (pid < 0)
        return {};
    std::string text = read_all(out, 30000);
    close(out);
    int status = 0;
    waitpid(pid, &status, 0);
    if (exit_status)
        *exit_status = status;
    return text;
}

}  // namespace lunvek::site::testing
