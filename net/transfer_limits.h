// Bounds that every request of this layer obeys, so that no page can hang a search or exhaust memory.
// The program keeps the defaults; tests shorten them to prove the behaviour without waiting.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace lunvek {

struct TransferLimits {
    std::chrono::milliseconds connect_timeout{60'000};
    // A request that moves not one byte for this long, sending or receiving, has failed.
    std::chrono::seconds stall_time{30};
    // Body bytes kept; the transfer ends there and the bytes read so far are the body.
    std::size_t max_body_bytes = std::size_t{64} << 20;
    // A single response header block larger than this ends the transfer (a hostile server).
    std::size_t max_header_block_bytes = std::size_t{256} << 10;
};

TransferLimits transfer_limits();
void set_transfer_limits(const TransferLimits& limits);

// Trust exactly the CA certificates in this PEM file instead of the system's; "" goes back to the system's.
// Verification itself is never switched off. Tests use it for a CA they made themselves.
void set_trusted_ca_file(const std::string& pem_path);

}  // namespace lunvek
