// The process-wide cookie store: one libcurl share of cookie data, guarded by one mutex per kind of shared
// data. Created once and never destroyed, so a worker still running at process end finds it intact.
#include "net/cookie_store.h"

#include <array>
#include <ctime>
#include <mutex>

#include "net/curl_session.h"

namespace lunvek {

namespace {

struct SharedStore {
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
    CURLSH* share = nullptr;
};

void lock_shared(CURL*, curl_lock_data data, curl_lock_access, void* store) {
    static_cast<SharedStore*>(store)->locks[data].lock();
}

void unlock_shared(CURL*, curl_lock_data data, void* store) {
    static_cast<SharedStore*>(store)->locks[data].unlock();
}

SharedStore& shared_store() {
    static SharedStore* const store = [] {
        detail::ensure_curl_ready();
        auto* created = new SharedStore;  // never deleted, see above
        created->share = curl_share_init();
        if (created->share != nullptr) {
            curl_share_setopt(created->share, CURLSHOPT_LOCKFUNC, lock_shared);
            curl_share_setopt(created->share, CURLSHOPT_UNLOCKFUNC, unlock_shared);
            curl_share_setopt(created->share, CURLSHOPT_USERDATA, created);
            curl_share_setopt(created->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        }
        return created;
    }();
    return *store;
}

// The cookie-file form cannot carry tabs or line ends inside a field.
std::string field(const Text& text) {
    std::string out;
    for (const char c : text) {
        if (c != '\t' && c != '\r' && c != '\n') {
            out += c;
        }
    }
    return out;
}

struct CookieLine {
    Text value;
    Text path = "/";
    long long expires = 0;  // 0: for the session
    bool secure = false;
};

CookieLine parse_cookie_data(const Text& data) {
    CookieLine cookie;
    const TextArray parts = split_text(data, ";");
    if (parts.empty()) {
        return cookie;
    }
    cookie.value = trim_both_ends(parts[0]);
    bool have_max_age = false;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const Text attribute = trim_both_ends(parts[i]);
        const int equals = find_text(attribute, "=");
        const Text key = to_lower(trim_both_ends(equals == -1 ? attribute : text_left(attribute, equals - 1)));
        const Text value =
            equals == -1 ? Text{} : trim_both_ends(text_right(attribute, text_length(attribute) - equals));
        if (key == "path" && text_left(value, 1) == "/") {
            cookie.path = value;
        } else if (key == "max-age") {
            // A max-age of 0 or less deletes the cookie; it wins over expires.
            const long long seconds = to_int(value);
            cookie.expires = seconds <= 0 ? 1 : static_cast<long long>(std::time(nullptr)) + seconds;
            have_max_age = true;
        } else if (key == "expires" && !have_max_age) {
            const time_t when = curl_getdate(value.c_str(), nullptr);
            if (when > 0) {
                cookie.expires = when;
            } else if (when == 0) {
                cookie.expires = 1;
            }
        } else if (key == "secure") {
            cookie.secure = true;
        }
    }
    return cookie;
}

}  // namespace

void detail::attach_cookie_store(CURL* handle) {
    SharedStore& store = shared_store();
    if (store.share == nullptr) {
        return;
    }
    curl_easy_setopt(handle, CURLOPT_SHARE, store.share);
    curl_easy_setopt(handle, CURLOPT_COOKIEFILE, "");  // switches the cookie engine on, reads no file
}

void store_cookie(const Text& host, const Text& name, const Text& data) {
    const std::string clean_name = field(trim_both_ends(name));
    if (clean_name.empty() || host.empty()) {
        return;
    }
    detail::ensure_curl_ready();
    const CookieLine cookie = parse_cookie_data(data);
    const std::string line = field(host) + "\tFALSE\t" + field(cookie.path) + "\t" +
                             (cookie.secure ? "TRUE" : "FALSE") + "\t" + std::to_string(cookie.expires) + "\t" +
                             clean_name + "\t" + field(cookie.value);
    CURL* handle = curl_easy_init();
    if (handle == nullptr) {
        return;
    }
    detail::attach_cookie_store(handle);
    curl_easy_setopt(handle, CURLOPT_COOKIELIST, line.c_str());
    curl_easy_cleanup(handle);
}

TextArray stored_cookies() {
    TextArray out;
    detail::ensure_curl_ready();
    CURL* handle = curl_easy_init();
    if (handle == nullptr) {
        return out;
    }
    detail::attach_cookie_store(handle);
    curl_slist* list = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_COOKIELIST, &list) == CURLE_OK) {
        for (curl_slist* item = list; item != nullptr; item = item->next) {
            out.emplace_back(item->data);
        }
    }
    curl_slist_free_all(list);
    curl_easy_cleanup(handle);
    return out;
}

}  // namespace lunvek
