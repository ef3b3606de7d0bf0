// The in-memory byte stream a timed request and its worker pass their records through: one read/write
// position, text fields ended by a zero byte, bytes fields led by a 4-byte little-endian length.
// Not locked itself: its owner guards it.
#pragma once

#include <cstddef>

#include "text/text.h"

namespace lunvek {

class HandoffBuffer {
  public:
    void seek(std::size_t position) { position_ = position < data_.size() ? position : data_.size(); }
    // Back to position 0 with every byte deleted.
    void clear();

    void write_text(const Text& text);  // up to its first zero byte, then a zero byte
    void write_bytes(const Bytes& bytes);

    // false, with `out` empty, when the field cannot be read (missing zero byte or too few bytes).
    bool read_text(Text& out);
    bool read_bytes(Bytes& out);

    void write_raw(const char* bytes, std::size_t count);  // the bytes as they are, no framing

    const Bytes& data() const { return data_; }

  private:
    Bytes data_;
    std::size_t position_ = 0;
};

}  // namespace lunvek
