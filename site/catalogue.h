// The collection the site serves: entries from the bundled catalogue file and from .torrent files,
// searched by keyword words in a stable order (the order in which entries were added).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lunvek::site {

struct Entry {
    std::string name;  // UTF-8
    std::string date;  // YYYY-MM-DD, or "-" when unknown
    std::uint64_t size = 0;
    std::uint64_t file_count = 1;
    std::string hash;  // 40 lower-case hex digits
};

// Byte ranges [first, second) of a name.
using ByteRanges = std::vector<std::pair<size_t, size_t>>;

class Catalogue {
  public:
    // False (and nothing added) for an entry whose hash is malformed or already present.
    bool add(Entry entry);

    // Reads a tab-separated catalogue file (name, date, size, file count, hash; '#' starts a comment).
    // Malformed lines are skipped. Returns the number of entries added, -1 when the file cannot be read.
    int load_file(const std::string& path);

    size_t size() const { return entries_.size(); }
    const Entry& at(size_t index) const { return entries_[index].entry; }
    const Entry* find(std::string_view hash) const;

    // Indices of the entries whose name holds every word (folded); none for no words.
    std::vector<size_t> search(const std::vector<std::u32string>& words) const;

    // Merged byte ranges of every hit of every word in the entry's name.
    ByteRanges hits(size_t index, const std::vector<std::u32string>& words) const;

  private:
    struct Item {
        Entry entry;
        std::u32string folded;        // folded code points of the name
        std::vector<size_t> offsets;  // byte offset of each code point, plus the name's length
    };
    std::vector<Item> entries_;
    std::unordered_map<std::string, size_t> by_hash_;
};

bool is_info_hash(std::string_view text);

// "1.37 GB" style, binary multiples, two decimals above a kilobyte.
std::string format_size(std::uint64_t bytes);

}  // namespace lunvek::site
