// A scripted HTTP server on a loopback address for the net tests: it records the exact bytes of every
// request and answers each with whatever the test's script sends (redirect chains, cookies, slow, endless
// or broken responses, silence). Plain HTTP, or TLS when given an OpenSSL server context.
#pragma once

#include <openssl/ssl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lunvek::testing {

struct ReceivedRequest {
    std::string raw;     // every byte of the request, head and body
    std::string method;  // from the request line
    std::string target;  // from the request line, as sent (origin or absolute form)
    std::string body;
};

class Exchange;
using Script = std::function<void(Exchange&)>;

class ScriptedServer {
  public:
    // The script runs once per request, on that connection's own thread.
    explicit ScriptedServer(Script script, std::string address = "127.0.0.1", SSL_CTX* tls = nullptr);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int port() const { return port_; }
    std::string url(std::string_view path = "/") const;  // http://address:port + path
    std::string host_port() const;                       // address:port
    std::vector<ReceivedRequest> requests() const;
    int connections() const { return connections_.load(); }
    bool stopping() const { return stopping_.load(); }

  private:
    friend class Exchange;
    void accept_loop();
    void serve(int socket);
    void record(ReceivedRequest request);

    Script script_;
    std::string address_;
    SSL_CTX* tls_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
    std::vector<int> open_sockets_;
    std::list<std::thread> workers_;
    std::thread acceptor_;
};

// One request on one connection, as the script sees it.
class Exchange {
  public:
    const ReceivedRequest& request;

    bool send(std::string_view bytes);
    // Ends the connection once the script returns (the default keeps it open for the next request).
    void close() { close_ = true; }
    // Sleeps, waking early when the server is being torn down. False when it woke early.
    bool pause(std::chrono::milliseconds duration);
    // Waits for the server's teardown: a server that never answers.
    void stay_silent();
    bool stopping() const { return server_.stopping(); }

  private:
    friend class ScriptedServer;
    Exchange(ScriptedServer& server, const ReceivedRequest& received, int socket, SSL* ssl)
        : request(received), server_(server), socket_(socket), ssl_(ssl) {}
    ScriptedServer& server_;
    int socket_;
    SSL* ssl_;
    bool close_ = false;
};

// "HTTP/1.1 <status line>\r\n" + extra header lines (each ended by CR LF) + Content-Length + body.
std::string http_response(std::string_view status, std::string_view headers, std::string_view body);

// A throwaway CA and a server certificate for 127.0.0.1 signed by it, made with the openssl command.
class TestCertificates {
  public:
    TestCertificates();
    ~TestCertificates();
    bool ok() const { return context_ != nullptr; }
    const std::string& ca_file() const { return ca_file_; }
    SSL_CTX* server_context() const { return context_; }

  private:
    std::string directory_;
    std::string ca_file_;
    SSL_CTX* context_ = nullptr;
};

}  // namespace lunvek::testing
