// "https" addresses go over TLS with the certificate verified: a server the client does not trust is
// refused, one signed by a CA the test trusts is fetched.
#include <gtest/gtest.h>

#include "net/http_request.h"
#include "net/transfer_limits.h"
#include "net_test_support.h"

namespace lunvek {
namespace {

using testing::answer;
using testing::ScriptedServer;
using testing::TestCertificates;

class Tls : public ::testing::Test {
  protected:
    void TearDown() override { set_trusted_ca_file(""); }
    TestCertificates certificates_;
};

TEST_F(Tls, UntrustedServerIsRefused) {
    ASSERT_TRUE(certificates_.ok());
    ScriptedServer server(answer("secret"), "127.0.0.1", certificates_.server_context());
    HttpRequestOptions options;
    EXPECT_EQ(http_request("https://" + server.host_port() + "/", options), "");
    EXPECT_EQ(options.response_headers, std::string(5000, ' '));
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(server.connections(), 1);  // it was reached, and the handshake failed
}

TEST_F(Tls, TrustedServerIsFetchedOverTls) {
    ASSERT_TRUE(certificates_.ok());
    set_trusted_ca_file(certificates_.ca_file());
    ScriptedServer server(answer("secret"), "127.0.0.1", certificates_.server_context());
    // The scheme test reads lower-cased bytes: capitals still mean TLS.
    for (const std::string scheme : {"https://", "HTTPS://"}) {
        SCOPED_TRACE(scheme);
        HttpRequestOptions options;
        options.proxy = "127.0.0.1:9";  // the proxy serves plain HTTP only: TLS goes direct
        EXPECT_EQ(http_request(scheme + server.host_port() + "/s?x=1", options), "secret");
        EXPECT_EQ(server.requests().back().target, "/s?x=1");
    }
    // Without a port an "https" address means 443; a plain request to the TLS port does not get through.
    EXPECT_EQ(http_request(server.url("/")), "");
}

}  // namespace
}  // namespace lunvek
