// Synthetic result pages for the benchmarks: ASCII markup mixed with Chinese, as the search site serves them.
#pragma once

#include <cstddef>

#include "text/text.h"

namespace lunvek::bench {

// About `size` bytes of UTF-8 markup; the same page in code page 936 comes from page_cp936.
const Text& page_utf8(std::size_t size);
const Text& page_cp936(std::size_t size);

constexpr std::size_t one_mb = 1u << 20;

}  // namespace lunvek::bench
