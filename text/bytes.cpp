// Length-counted bytes and their meeting point with zero-ended texts.
#include <algorithm>
#include <cstring>

#include "text/text.h"

namespace lunvek {

Bytes text_to_bytes(const Text& text) {
    return text;
}

Text bytes_to_text(const Bytes& bytes) {
    const void* zero = std::memchr(bytes.data(), 0, bytes.size());
    if (zero == nullptr)
        return bytes;
    return Text(bytes.data(), static_cast<const char*>(zero));
}

int bytes_length(const Bytes& bytes) {
    return static_cast<int>(bytes.size());
}

Bytes bytes_left(const Bytes& bytes, int n) {
    if (n <= 0)
        return {};
    return bytes.substr(0, std::min(static_cast<std::size_t>(n), bytes.size()));
}

Bytes blank_bytes(int n) {
    if (n <= 0)
        return {};
    return Bytes(static_cast<std::size_t>(n), '\0');
}

}  // namespace lunvek
