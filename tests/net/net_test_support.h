// Small helpers shared by the net tests.
#pragma once

#include <string>

#include "net/http_request.h"
#include "scripted_server.h"

namespace lunvek::testing {

// The request head as curl lays out a call that gives only the URL.
inline std::string default_request_head(const std::string& path, const ScriptedServer& server,
                                        const std::string& referer) {
    return "GET " + path + " HTTP/1.1\r\nHost: " + server.host_port() + "\r\nUser-Agent: " + default_user_agent +
           "\r\nReferer: " + referer +
           "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\n\r\n";
}

// Answers every request with 200 and `body`.
inline Script answer(std::string body, std::string headers = {}) {
    return [body = std::move(body), headers = std::move(headers)](Exchange& ex) {
        ex.send(http_response("200 OK", headers, body));
    };
}

// The header lines of a raw request (everything between the request line and the blank line).
inline std::string header_lines(const std::string& raw) {
    const std::size_t start = raw.find("\r\n") + 2;
    return raw.substr(start, raw.find("\r\n\r\n") + 2 - start);
}

}  // namespace lunvek::testing
