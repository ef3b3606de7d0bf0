// Table-driven code page 936 decoding, built from and checked against the text layer's converter.
#include "regex/engine_units.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "text/encoding.h"

namespace lunvek::regex_detail {

namespace {

constexpr unsigned first_lead = 0x81;
constexpr unsigned last_lead = 0xFE;
constexpr unsigned first_trail = 0x40;
constexpr unsigned trails = 0xFF - first_trail;  // 0x40 to 0xFE; 0x7F has a slot but never trails

bool is_lead(unsigned char b) {
    return b >= first_lead && b <= last_lead;
}

bool is_trail(unsigned char b) {
    return b >= first_trail && b != 0x7F && b != 0xFF;
}

struct DecodeTable {
    bool usable = false;
    std::array<char16_t, 256> single{};  // a byte that forms a character alone (a lone lead byte included)
    std::vector<char16_t> pair;          // (lead - 0x81) * trails + (trail - 0x40)
};

// The table rests on the converter treating every lead-trail pair as one unit and a lead without a trail as
// a unit of its own, the next byte then read afresh. Each premise is checked; if one fails, the converter
// itself is used.
DecodeTable build_table() {
    DecodeTable table;
    for (unsigned b = 0; b < 256; ++b) {
        const std::u16string units = cp936_to_utf16(std::string(1, static_cast<char>(b)));
        if (units.size() != 1)
            return table;
        table.single[b] = units[0];
    }
    std::string pairs;
    std::size_t count = 0;
    for (unsigned lead = first_lead; lead <= last_lead; ++lead) {
        for (unsigned trail = first_trail; trail < first_trail + trails; ++trail) {
            if (is_trail(static_cast<unsigned char>(trail))) {
                pairs += static_cast<char>(lead);
                pairs += static_cast<char>(trail);
                ++count;
            }
        }
    }
    const std::u16string units = cp936_to_utf16(pairs);
    if (units.size() != count)
        return table;
    table.pair.assign(static_cast<std::size_t>(last_lead - first_lead + 1) * trails, u'\0');
    for (std::size_t k = 0; k < count; ++k) {
        const auto lead = static_cast<unsigned char>(pairs[2 * k]);
        const auto trail = static_cast<unsigned char>(pairs[2 * k + 1]);
        table.pair[(lead - first_lead) * trails + (trail - first_trail)] = units[k];
    }
    for (unsigned lead : {0x81u, 0xA1u, 0xD6u, 0xFEu}) {
        for (unsigned next : {0x00u, 0x0Au, 0x30u, 0x3Fu, 0x7Fu, 0x80u, 0x81u, 0xFFu}) {
            const std::string two{static_cast<char>(lead), static_cast<char>(next)};
            if (is_trail(static_cast<unsigned char>(next)))
                continue;
            if (cp936_to_utf16(two) != std::u16string{table.single[lead], table.single[next]})
                return table;
        }
    }
    table.usable = true;
    return table;
}

const DecodeTable& decode_table() {
    static const DecodeTable table = build_table();
    return table;
}

}  // namespace

std::u16string to_engine_units(std::string_view bytes) {
    const DecodeTable& table = decode_table();
    if (!table.usable)
        return cp936_to_utf16(bytes);
    std::u16string units(bytes.size(), u'\0');
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    char16_t* out = units.data();
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        // Markup is mostly ASCII: widen eight such bytes at a time.
        std::uint64_t eight = 0;
        if (i + 8 <= size && (std::memcpy(&eight, in + i, 8), (eight & 0x8080808080808080u) == 0)) {
            for (int k = 0; k < 8; ++k)
                out[k] = in[i + k];
            out += 8;
            i += 8;
            continue;
        }
        const unsigned char b = in[i];
        if (b < 0x80) {
            *out++ = b;
            ++i;
        } else if (is_lead(b) && i + 1 < size && is_trail(in[i + 1])) {
            *out++ = table.pair[(b - first_lead) * trails + (in[i + 1] - first_trail)];
            i += 2;
        } else {
            *out++ = table.single[b];
            ++i;
        }
    }
    units.resize(static_cast<std::size_t>(out - units.data()));
    return units;
}

}  // namespace lunvek::regex_detail
