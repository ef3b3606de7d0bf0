// Catalogue storage and keyword search.
#include "site/catalogue.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>

#include "site/keyword.h"

namespace lunvek::site {

namespace {

bool parse_count(std::string_view text, std::uint64_t& out) {
    if (text.empty() || text.size() > 20)
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

bool is_date(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

std::vector<std::string_view> split_tabs(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    return fields;
}

}  // namespace

bool is_info_hash(std::string_view text) {
    return text.size() == 40 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
}

bool Catalogue::add(Entry entry) {
    if (!is_info_hash(entry.hash))
        return false;
    std::transform(entry.hash.begin(), entry.hash.end(), entry.hash.begin(),
                   [](char c) { return static_cast<char>(c >= 'A' && c <= 'F' ? c + ('a' - 'A') : c); });
    if (by_hash_.count(entry.hash))
        return false;
    Item item;
    entry.name = utf8_sanitize(entry.name);
    const std::u32string code_points = utf8_decode(entry.name).value_or(std::u32string{});
    item.folded = fold_case(code_points);
    item.offsets.reserve(code_points.size() + 1);
    size_t offset = 0;
    for (const char32_t c : code_points) {
        item.offsets.push_back(offset);
        offset += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    }
    item.offsets.push_back(offset);
    item.entry = std::move(entry);
    by_hash_.emplace(item.entry.hash, entries_.size());
    entries_.push_back(std::move(item));
    return true;
}

int Catalogue::load_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return -1;
    int added = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const auto fields = split_tabs(line);
        Entry entry;
        if (fields.size() != 5 || fields[0].empty() || !is_date(fields[1]) || !parse_count(fields[2], entry.size) ||
            !parse_count(fields[3], entry.file_count) || entry.file_count == 0) {
            continue;
        }
        entry.name = std::string(fields[0]);
        entry.date = std::string(fields[1]);
        entry.hash = std::string(fields[4]);
        if (add(std::move(entry)))
            ++added;
    }
    return added;
}

const Entry* Catalogue::find(std::string_view hash) const {
    if (!is_info_hash(hash))
        return nullptr;
    std::string key(hash);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](char c) { return static_cast<char>(c >= 'A' && c <= 'F' ? c + ('a' - 'A') : c); });
    const auto found = by_hash_.find(key);
    return found == by_hash_.end() ? nullptr : &entries_[found->second].entry;
}

std::vector<size_t> Catalogue::search(const std::vector<std::u32string>& words) const {
    std::vector<size_t> found;
    if (words.empty())
        return found;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const std::u32string& folded = entries_[i].folded;
        const bool all = std::all_of(words.begin(), words.end(), [&](const std::u32string& word) {
            return folded.find(word) != std::u32string::npos;
        });
        if (all)
            found.push_back(i);
    }
    return found;
}

ByteRanges Catalogue::hits(size_t index, const std::vector<std::u32string>& words) const {
    const Item& item = entries_[index];
    std::vector<std::pair<size_t, size_t>> spans;  // code point ranges
    for (const auto& word : words) {
        for (size_t at = item.folded.find(word); at != std::u32string::npos; at = item.folded.find(word, at + 1))
            spans.emplace_back(at, at + word.size());
    }
    std::sort(spans.begin(), spans.end());
    ByteRanges merged;
    size_t first = 0, last = 0;
    bool open = false;
    for (const auto& [begin, end] : spans) {
        if (open && begin <= last) {
            last = std::max(last, end);
            continue;
        }
        if (open)
            merged.emplace_back(item.offsets[first], item.offsets[last]);
        first = begin, last = end, open = true;
    }
    if (open)
        merged.emplace_back(item.offsets[first], item.offsets[last]);
    return merged;
}

std::string format_size(std::uint64_t bytes) {
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    double value = static_cast<double>(bytes) / 1024.0;
    size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(units)) {
        value /= 1024.0;
        ++unit;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f %s", value, units[unit]);
    return buffer;
}

}  // namespace lunvek::site
