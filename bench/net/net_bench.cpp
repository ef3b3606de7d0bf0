// 21 sequential fetches of a 75 KB page (a search's worth of pages) from a loopback server:
// http_request against bare libcurl transfers, and http_request_timed against http_request.
// Compare the reported times of the pairs; each fetch uses a fresh handle in every variant.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <string>
#include <thread>

#include "net/http_request.h"
#include "net/http_request_timed.h"

namespace {

constexpr int fetches = 21;

class PageServer {
  public:
    PageServer() : page_(make_page()) {
        server_.Get("/page", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(page_, "text/html");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) {
            std::this_thread::yield();
        }
    }
    ~PageServer() {
        server_.stop();
        thread_.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/page"; }
    std::size_t page_size() const { return page_.size(); }

  private:
    static std::string make_page() {
        std::string page = "<html><body>";
        for (int row = 0; page.size() < 75 * 1024 - 32; ++row) {
            page += "<tr><td>" + std::to_string(row) + "</td><td>magnet:?xt=urn:btih:0123456789abcdef</td></tr>\n";
        }
        page.resize(75 * 1024 - 14);
        return page + "</body></html>";
    }

    std::string page_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

PageServer& page_server() {
    static PageServer server;
    return server;
}

size_t append_body(char* data, size_t size, size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

void BM_BareLibcurl(benchmark::State& state) {
    const std::string url = page_server().url();
    for (auto _ : state) {
        for (int i = 0; i < fetches; ++i) {
            std::string body;
            CURL* handle = curl_easy_init();
            curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
            curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, append_body);
            curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
            curl_easy_perform(handle);
            curl_easy_cleanup(handle);
            if (body.size() != page_server().page_size()) {
                state.SkipWithError("short body");
            }
        }
    }
}
BENCHMARK(BM_BareLibcurl)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HttpRequest(benchmark::State& state) {
    const std::string url = page_server().url();
    for (auto _ : state) {
        for (int i = 0; i < fetches; ++i) {
            if (lunvek::http_request(url).size() != page_server().page_size()) {
                state.SkipWithError("short body");
            }
        }
    }
}
BENCHMARK(BM_HttpRequest)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HttpRequestTimed(benchmark::State& state) {
    const std::string url = page_server().url();
    for (auto _ : state) {
        for (int i = 0; i < fetches; ++i) {
            if (lunvek::http_request_timed(url, "GET", {}, {}, 10).size() != page_server().page_size()) {
                state.SkipWithError("short body");
            }
        }
    }
}
BENCHMARK(BM_HttpRequestTimed)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
