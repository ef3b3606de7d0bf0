// The timed web request: fetches one URL on a worker thread of its own and waits for it at most the time
// limit. It has its own profile (agent string, default headers, plain HTTP only) and stores the cookies a
// response sets in the shared cookie store, where later requests of both kinds find them.
#pragma once

#include <chrono>
#include <functional>

#include "text/text.h"

namespace lunvek {

struct TimedRequestOptions {
    Text method;            // "" means "GET"; upper-cased before use
    Text post_text;         // the body, sent for every verb but "GET"
    Text headers;           // extra request header lines, each ended by CR LF
    int time_limit = 0;     // seconds; 0 (or less) means 90
    Text proxy;             // "host:port" of an HTTP proxy; blank means direct
    Text user_name;         // blank means none
    Text password;          // blank means none
    Text response_headers;  // out: the response's status and header lines (1024 spaces when longer than 1023)
};

// The response body; empty after a time-out or any failure. The calling thread returns within the time
// limit whatever the server does; a worker still busy then is abandoned and its late result discarded.
Bytes http_request_timed(const Text& url, TimedRequestOptions& options);
Bytes http_request_timed(const Text& url, const Text& method = {}, const Text& post_text = {}, const Text& headers = {},
                         int time_limit = 0);

// How long a call with this time limit waits for its worker.
std::chrono::milliseconds timed_request_wait(int time_limit);

// Called over and over on a thread waiting for its worker. The application installs one that dispatches the
// window thread's pending events without blocking and returns true there, so the window stays alive; on any
// other thread it returns false and that thread simply waits. Empty by default.
using TimedRequestWaitHook = std::function<bool()>;
void set_timed_request_wait_hook(TimedRequestWaitHook hook);

// Workers of timed requests that have not yet ended, abandoned ones included.
int timed_request_workers_running();

}  // namespace lunvek
