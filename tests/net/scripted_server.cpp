#include "scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace lunvek::testing {

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

class Stream {
  public:
    Stream(int socket, SSL* ssl) : socket_(socket), ssl_(ssl) {}
    // Appends what arrives to `into`; false at the end of the stream or on an error.
    bool receive(std::string& into) {
        char block[4096];
        const long got =
            ssl_ != nullptr ? SSL_read(ssl_, block, sizeof block) : ::recv(socket_, block, sizeof block, 0);
        if (got <= 0) {
            return false;
        }
        into.append(block, static_cast<std::size_t>(got));
        return true;
    }

  private:
    int socket_;
    SSL* ssl_;
};

// One whole request (head and Content-Length body) from the front of `pending`, reading more as needed.
bool read_request(Stream& stream, std::string& pending, ReceivedRequest& request) {
    std::size_t head_end;
    while ((head_end = pending.find("\r\n\r\n")) == std::string::npos) {
        if (!stream.receive(pending)) {
            return false;
        }
    }
    const std::string head = pending.substr(0, head_end + 4);
    std::size_t body_length = 0;
    const std::string lower_head = lower(head);
    const std::size_t field = lower_head.find("\r\ncontent-length:");
    if (field != std::string::npos) {
        body_length = std::strtoul(head.c_str() + field + 17, nullptr, 10);
    }
    while (pending.size() < head.size() + body_length) {
        if (!stream.receive(pending)) {
            return false;
        }
    }
    request.raw = pending.substr(0, head.size() + body_length);
    request.body = request.raw.substr(head.size());
    pending.erase(0, request.raw.size());
    const std::size_t first_space = head.find(' ');
    const std::size_t second_space = head.find(' ', first_space + 1);
    request.method = head.substr(0, first_space);
    request.target = head.substr(first_space + 1, second_space - first_space - 1);
    return true;
}

}  // namespace

ScriptedServer::ScriptedServer(Script script, std::string address, SSL_CTX* tls)
    : script_(std::move(script)), address_(std::move(address)), tls_(tls) {
    std::signal(SIGPIPE, SIG_IGN);
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int reuse = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = 0;
    ::inet_pton(AF_INET, address_.c_str(), &where.sin_addr);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 || ::listen(listener_, 64) != 0) {
        std::abort();
    }
    socklen_t length = sizeof where;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&where), &length);
    port_ = ntohs(where.sin_port);
    acceptor_ = std::thread([this] { accept_loop(); });
}

ScriptedServer::~ScriptedServer() {
    stopping_ = true;
    acceptor_.join();
    {
        std::lock_guard lock(mutex_);
        for (const int socket : open_sockets_) {
            ::shutdown(socket, SHUT_RDWR);
        }
    }
    for (std::thread& worker : workers_) {
        worker.join();
    }
    ::close(listener_);
}

std::string ScriptedServer::host_port() const {
    return address_ + ":" + std::to_string(port_);
}

std::string ScriptedServer::url(std::string_view path) const {
    return "http://" + host_port() + std::string(path);
}

std::vector<ReceivedRequest> ScriptedServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void ScriptedServer::record(ReceivedRequest request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
}

void ScriptedServer::accept_loop() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0) {
            continue;
        }
        const int socket = ::accept(listener_, nullptr, nullptr);
        if (socket < 0) {
            continue;
        }
        connections_.fetch_add(1);
        std::lock_guard lock(mutex_);
        open_sockets_.push_back(socket);
        workers_.emplace_back([this, socket] { serve(socket); });
    }
}

void ScriptedServer::serve(int socket) {
    SSL* ssl = tls_ != nullptr ? SSL_new(tls_) : nullptr;
    bool ready = true;
    if (ssl != nullptr) {
        SSL_set_fd(ssl, socket);
        ready = SSL_accept(ssl) == 1;  // a client that refuses the certificate ends here
    }
    Stream stream(socket, ssl);
    std::string pending;
    while (ready && !stopping_) {
        ReceivedRequest request;
        if (!read_request(stream, pending, request)) {
            break;
        }
        record(request);
        Exchange exchange(*this, request, socket, ssl);
        script_(exchange);
        if (exchange.close_) {
            break;
        }
    }
    if (ssl != nullptr) {
        if (ready) {
            SSL_shutdown(ssl);
        }
        SSL_free(ssl);
    }
    std::lock_guard lock(mutex_);
    open_sockets_.erase(std::find(open_sockets_.begin(), open_sockets_.end(), socket));
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
}

bool Exchange::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const long sent = ssl_ != nullptr ? SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size()))
                                          : ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool Exchange::pause(std::chrono::milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < until) {
        if (server_.stopping()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void Exchange::stay_silent() {
    while (!server_.stopping()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string http_response(std::string_view status, std::string_view headers, std::string_view body) {
    std::string response = "HTTP/1.1 ";
    response.append(status).append("\r\n").append(headers);
    response.append("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n").append(body);
    return response;
}

TestCertificates::TestCertificates() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lunvek-net-tls-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    directory_ = pattern;
    const std::string d = directory_ + "/";
    std::ofstream(d + "server.ext") << "subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n";
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes ";
    const std::string commands =
        "cd '" + d + "' && openssl req -x509" + key + "-keyout ca.key -out ca.pem -days 2 -subj '/CN=Test CA'" +
        " && openssl req" + key + "-keyout server.key -out server.csr -subj '/CN=127.0.0.1'" +
        " && openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2" +
        " -extfile server.ext -out server.pem";
    if (std::system(("(" + commands + ") >/dev/null 2>&1").c_str()) != 0) {
        return;
    }
    ca_file_ = d + "ca.pem";
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (SSL_CTX_use_certificate_file(context, (d + "server.pem").c_str(), SSL_FILETYPE_PEM) == 1 &&
        SSL_CTX_use_PrivateKey_file(context, (d + "server.key").c_str(), SSL_FILETYPE_PEM) == 1) {
        context_ = context;
    } else {
        SSL_CTX_free(context);
    }
}

TestCertificates::~TestCertificates() {
    if (context_ != nullptr) {
        SSL_CTX_free(context_);
    }
    if (!directory_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
}

}  // namespace lunvek::testing
