// The one process-wide cookie store. Every http_request that does not manage its own cookies and every
// timed request sends the cookies it holds for a host and keeps the ones a response sets, on any thread.
#pragma once

#include "text/text.h"

namespace lunvek {

// Stores cookie `name` for `host` as a host-only cookie. `data` is what followed "name=" in a Set-Cookie
// line: the value up to the first ";" and then attributes, of which path, expires and max-age are honoured.
void store_cookie(const Text& host, const Text& name, const Text& data);

// Every cookie the store holds, one line per cookie in the tab-separated cookie-file form (for diagnostics
// and tests).
TextArray stored_cookies();

}  // namespace lunvek
