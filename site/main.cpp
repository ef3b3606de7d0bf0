// lunvek-site: serves the demo search site on loopback. The pages come from the site library; this file
// adds flags, the HTTP transport and the switches the end-to-end tests use to misbehave on purpose.
#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "site/catalogue.h"
#include "site/site.h"
#include "site/torrent.h"

namespace {

struct Flags {
    int port = LUNVEK_SITE_DEFAULT_PORT;
    int delay_ms = 0;
    bool close_early = false;
    std::string catalogue;
    std::string torrent_dir;
    lunvek::site::SiteOptions site;
};

constexpr const char* usage = R"(Usage: lunvek-site [options]
Serves the demo search site on http://127.0.0.1.

  --port N              port to listen on (0 picks a free one; default %d)
  --bind ADDR           address to listen on; only 127.0.0.1 is accepted
  --results-per-page N  results on one result page (default 20)
  --hot-count N         popular searches on the home page (default 8)
  --version-date TEXT   content of /soft/version.html (default 20150117)
  --delay-ms N          wait N ms before answering every request
  --fail-page N         answer result page N with status 500 and no body
                        (a result request without a page number is page 1)
  --close-early         close every connection after part of the body
  --torrent-dir DIR     also serve every .torrent file under DIR
  --catalogue FILE      catalogue file (default: the bundled one in the source tree,
                        else catalogue.txt next to the program)
  --help                show this text
)";

bool parse_int(const std::string& text, int minimum, int& out) {
    try {
        size_t used = 0;
        const long value = std::stol(text, &used);
        if (used != text.size() || value < minimum || value > 1000000000)
            return false;
        out = static_cast<int>(value);
        return true;
    } catch (...) {
        return false;
    }
}

// Returns 0 to go on, otherwise the process exit code (after printing help or an error).
int parse_flags(int argc, char** argv, Flags& flags) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        bool has_value = false;
        if (const size_t eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
            value = name.substr(eq + 1), name = name.substr(0, eq), has_value = true;
        }
        const auto next = [&]() -> bool {
            if (has_value)
                return true;
            if (i + 1 >= argc)
                return false;
            value = argv[++i];
            return true;
        };
        const auto number = [&](int minimum, int& out) { return next() && parse_int(value, minimum, out); };
        bool ok = true;
        if (name == "--help" || name == "-h") {
            std::printf(usage, LUNVEK_SITE_DEFAULT_PORT);
            return -1;
        } else if (name == "--port") {
            ok = number(0, flags.port) && flags.port <= 65535;
        } else if (name == "--bind") {
            ok = next() && value == "127.0.0.1";
        } else if (name == "--results-per-page") {
            ok = number(1, flags.site.results_per_page);
        } else if (name == "--hot-count") {
            ok = number(0, flags.site.hot_count);
        } else if (name == "--version-date") {
            ok = next();
            flags.site.version_date = value;
        } else if (name == "--delay-ms") {
            ok = number(0, flags.delay_ms);
        } else if (name == "--fail-page") {
            ok = number(1, flags.site.fail_page);
        } else if (name == "--close-early") {
            flags.close_early = true;
        } else if (name == "--torrent-dir") {
            ok = next();
            flags.torrent_dir = value;
        } else if (name == "--catalogue") {
            ok = next();
            flags.catalogue = value;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "lunvek-site: bad or incomplete option %s (see --help)\n", argv[i]);
            return 2;
        }
    }
    return 0;
}

// The source tree's catalogue wins while it exists, so an edited catalogue is served without a rebuild;
// an installed program finds its copy beside itself.
std::string default_catalogue() {
    std::error_code error;
    if (std::filesystem::exists(LUNVEK_SITE_CATALOGUE, error))
        return LUNVEK_SITE_CATALOGUE;
    return (std::filesystem::read_symlink("/proc/self/exe", error).parent_path() / "catalogue.txt").string();
}

}  // namespace

int main(int argc, char** argv) {
    Flags flags;
    if (const int code = parse_flags(argc, argv, flags); code != 0)
        return code < 0 ? 0 : code;

    lunvek::site::Catalogue catalogue;
    const std::string catalogue_path = flags.catalogue.empty() ? default_catalogue() : flags.catalogue;
    if (catalogue.load_file(catalogue_path) < 0) {
        std::fprintf(stderr, "lunvek-site: cannot read catalogue %s\n", catalogue_path.c_str());
        return 1;
    }
    if (!flags.torrent_dir.empty()) {
        if (!std::filesystem::is_directory(flags.torrent_dir)) {
            std::fprintf(stderr, "lunvek-site: %s is not a folder\n", flags.torrent_dir.c_str());
            return 1;
        }
        const int added = lunvek::site::add_torrent_folder(catalogue, flags.torrent_dir);
        std::fprintf(stderr, "lunvek-site: %d torrents from %s\n", added, flags.torrent_dir.c_str());
    }

    // SIGINT and SIGTERM are taken by a waiting thread, so stopping the server never runs in a signal handler.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    server.set_tcp_nodelay(true);  // headers and body go out in separate writes
    // httplib holds a worker for each open keep-alive connection; more workers than expected clients keep
    // a busy client from starving the others.
    server.new_task_queue = [] { return new httplib::ThreadPool(32); };
    server.set_keep_alive_max_count(10000);
    server.set_read_timeout(10);
    server.set_write_timeout(10);
    server.set_payload_max_length(1 << 20);
    const int port = flags.port == 0 ? server.bind_to_any_port("127.0.0.1") : flags.port;
    if (port <= 0 || (flags.port != 0 && !server.bind_to_port("127.0.0.1", port))) {
        std::fprintf(stderr, "lunvek-site: cannot listen on 127.0.0.1:%d\n", flags.port);
        return 1;
    }
    flags.site.port = port;
    const lunvek::site::Site site(catalogue, flags.site);

    const auto answer = [&](const httplib::Request& request, httplib::Response& response) {
        if (flags.delay_ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(flags.delay_ms));
        auto page = site.handle({request.method, request.target, request.get_header_value("Host")});
        response.status = page.status;
        if (!page.allow.empty())
            response.set_header("Allow", page.allow);
        if (flags.close_early && page.body.size() > 1) {
            // Content-Length promises the whole body; half of it is sent, then the connection is dropped.
            auto body = std::make_shared<std::string>(std::move(page.body));
            response.set_content_provider(body->size(), page.content_type,
                                          [body](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset == 0)
                                                  sink.write(body->data(), body->size() / 2);
                                              return false;
                                          });
        } else {
            response.set_content(page.body, page.content_type);
        }
    };
    // Every request is answered here, before httplib's pattern routing: unknown paths and methods included.
    server.set_pre_routing_handler([&](const httplib::Request& request, httplib::Response& response) {
        answer(request, response);
        if (request.method != "GET" && request.method != "HEAD")
            response.set_header("Connection", "close");
        return httplib::Server::HandlerResponse::Handled;
    });

    std::atomic<bool> signalled{false};
    std::thread stopper([&server, &signalled, stop_signals] {
        int signal_number = 0;
        sigwait(&stop_signals, &signal_number);
        signalled = true;
        server.stop();
    });

    std::printf("lunvek-site listening on http://127.0.0.1:%d\n", port);
    std::fflush(stdout);
    const bool listened = server.listen_after_bind();
    // When listening ended for another reason than a signal, the waiting thread is woken so it can finish.
    if (!signalled)
        pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return listened ? 0 : 1;
}
