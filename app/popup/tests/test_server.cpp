#include "test_server.h"

#include <stdexcept>

namespace lunvek::test {

TestServer::TestServer() : server_(soup_server_new(nullptr, nullptr)) {
    GError* error = nullptr;
    if (!soup_server_listen_local(server_, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error)) {
        std::string what = error->message;
        g_error_free(error);
        throw std::runtime_error("test server: " + what);
    }
    GSList* uris = soup_server_get_uris(server_);
    port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
    soup_server_add_handler(server_, nullptr, &TestServer::serve, this, nullptr);
}

TestServer::~TestServer() {
    soup_server_disconnect(server_);
    g_object_unref(server_);
}

std::string TestServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void TestServer::serve(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*, gpointer self) {
    const auto& pages = static_cast<TestServer*>(self)->pages_;
    const auto page = pages.find(path);
    if (page == pages.end()) {
        soup_server_message_set_status(message, 404, nullptr);
        return;
    }
    soup_server_message_set_status(message, 200, nullptr);
    soup_server_message_set_response(message, "text/html; charset=utf-8", SOUP_MEMORY_COPY, page->second.data(),
                                     page->second.size());
}

}  // namespace lunvek::test
