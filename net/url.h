// Taking a URL text apart for the web requests. Pure text work: nothing is validated, every input gets a
// best-effort answer. Note the two defaults: an "https" address without a port gives 443 in url_port but 80
// in split_http_url (the timed request speaks plain HTTP only).
#pragma once

#include "text/text.h"

namespace lunvek {

// The host in lower case; with keep_port, followed by ":" and the port when the URL has them.
Text url_host(const Text& url, bool keep_port = false);
// The port after the host, else 443 for an "https" address and 80 for anything else.
int url_port(const Text& url);
// The object path from the first "/" after the host to the end, query included; "/" at least.
Text url_path(const Text& url);

struct SplitUrl {
    Text host;
    int port = 80;
    Text path;
};
// Host (lower case), port (80 when none is written) and path ("/" at least) in one pass.
SplitUrl split_http_url(const Text& url);
void split_http_url(const Text& url, Text& host, int& port, Text& path);

}  // namespace lunvek
