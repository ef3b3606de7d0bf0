// Process-wide limits and trust settings. Kept in storage that is never destroyed: an abandoned worker may
// still read them while the process ends.
#include <mutex>

#include "net/curl_session.h"
#include "net/transfer_limits.h"

namespace lunvek {

namespace {

struct Settings {
    std::mutex mutex;
    TransferLimits limits;
    std::string ca_file;
};

Settings& settings() {
    static Settings* const instance = new Settings;  // never deleted, see above
    return *instance;
}

}  // namespace

TransferLimits transfer_limits() {
    std::lock_guard lock(settings().mutex);
    return settings().limits;
}

void set_transfer_limits(const TransferLimits& limits) {
    std::lock_guard lock(settings().mutex);
    settings().limits = limits;
}

void set_trusted_ca_file(const std::string& pem_path) {
    std::lock_guard lock(settings().mutex);
    settings().ca_file = pem_path;
}

std::string detail::trusted_ca_file() {
    std::lock_guard lock(settings().mutex);
    return settings().ca_file;
}

}  // namespace lunvek
