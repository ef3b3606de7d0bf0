#include "net/handoff_buffer.h"

#include <cstdint>
#include <cstring>

namespace lunvek {

void HandoffBuffer::clear() {
    data_.clear();
    position_ = 0;
}

void HandoffBuffer::write_raw(const char* bytes, std::size_t count) {
    if (position_ + count > data_.size()) {
        data_.resize(position_ + count);
    }
    std::memcpy(data_.data() + position_, bytes, count);
    position_ += count;
}

void HandoffBuffer::write_text(const Text& text) {
    const std::size_t length = std::strlen(text.c_str());
    write_raw(text.data(), length);
    write_raw("", 1);
}

void HandoffBuffer::write_bytes(const Bytes& bytes) {
    const auto length = static_cast<std::uint32_t>(bytes.size());
    const char prefix[4] = {static_cast<char>(length & 0xFF), static_cast<char>((length >> 8) & 0xFF),
                            static_cast<char>((length >> 16) & 0xFF), static_cast<char>((length >> 24) & 0xFF)};
    write_raw(prefix, sizeof prefix);
    write_raw(bytes.data(), length);
}

bool HandoffBuffer::read_text(Text& out) {
    out.clear();
    const std::size_t end = data_.find('\0', position_);
    if (end == Bytes::npos) {
        position_ = data_.size();
        return false;
    }
    out.assign(data_, position_, end - position_);
    position_ = end + 1;
    return true;
}

bool HandoffBuffer::read_bytes(Bytes& out) {
    out.clear();
    if (data_.size() - position_ < 4) {
        position_ = data_.size();
        return false;
    }
    std::uint32_t length = 0;
    for (int i = 3; i >= 0; --i) {
        length = (length << 8) | static_cast<unsigned char>(data_[position_ + i]);
    }
    if (data_.size() - position_ - 4 < length) {
        position_ = data_.size();
        return false;
    }
    out.assign(data_, position_ + 4, length);
    position_ += 4 + length;
    return true;
}

}  // namespace lunvek
