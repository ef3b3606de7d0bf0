// Request handling of the demo search site, without sockets: a request (method, raw target, Host header)
// in, a response out. The server program adds only the transport and its test switches.
#pragma once

#include <string>
#include <vector>

#include "site/catalogue.h"

namespace lunvek::site {

struct SiteOptions {
    int port = 0;  // the port actually listened on; the detail-link base when a request has no usable Host
    int results_per_page = 20;
    int hot_count = 8;
    std::string version_date = "20150117";
    int fail_page = 0;  // a result page number answered with 500 and no body; 0 for none
};

struct SiteRequest {
    std::string method;  // "GET", "HEAD", "POST", ...
    std::string target;  // raw path and query, as sent
    std::string host;    // the Host header, may be empty
};

struct SiteResponse {
    int status = 200;
    std::string content_type;
    std::string body;
    std::string allow;  // the Allow header of a 405 answer
};

// The popular searches the home page offers, in page order; every one gives results in the bundled catalogue.
const std::vector<std::string>& popular_searches();

class Site {
  public:
    Site(const Catalogue& catalogue, SiteOptions options);
    SiteResponse handle(const SiteRequest& request) const;

  private:
    SiteResponse search(const std::string& query, const std::string& host) const;
    std::string base_for(const std::string& host) const;

    const Catalogue& catalogue_;
    SiteOptions options_;
    std::string home_page_;
};

}  // namespace lunvek::site
