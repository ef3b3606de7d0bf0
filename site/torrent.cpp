// Bencode is parsed into a small tree; the info dictionary's byte span is kept for the hash.
#include "site/torrent.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <variant>
#include <vector>

#include "site/keyword.h"

namespace lunvek::site {

namespace {

constexpr int max_depth = 32;
constexpr std::uintmax_t max_torrent_bytes = 16u << 20;
constexpr size_t max_nodes = 1u << 20;  // bounds the tree a hostile file can make us build

struct Value;
using List = std::vector<Value>;
using Dict = std::map<std::string, Value, std::less<>>;

struct Value {
    std::variant<std::int64_t, std::string, std::unique_ptr<List>, std::unique_ptr<Dict>> data;
    size_t begin = 0, end = 0;  // byte span in the source

    const Dict* dict() const {
        auto* p = std::get_if<std::unique_ptr<Dict>>(&data);
        return p ? p->get() : nullptr;
    }
    const List* list() const {
        auto* p = std::get_if<std::unique_ptr<List>>(&data);
        return p ? p->get() : nullptr;
    }
    const std::string* string() const { return std::get_if<std::string>(&data); }
    const std::int64_t* integer() const { return std::get_if<std::int64_t>(&data); }
    const Value* get(std::string_view key) const {
        const Dict* d = dict();
        if (!d)
            return nullptr;
        auto found = d->find(key);
        return found == d->end() ? nullptr : &found->second;
    }
};

class Reader {
  public:
    explicit Reader(std::string_view data) : data_(data) {}

    bool parse(Value& out, int depth) {
        if (depth > max_depth || pos_ >= data_.size() || ++nodes_ > max_nodes)
            return false;
        out.begin = pos_;
        const char c = data_[pos_];
        if (c == 'i') {
            ++pos_;
            std::int64_t value = 0;
            if (!read_integer('e', value, true))
                return false;
            out.data = value;
        } else if (c >= '0' && c <= '9') {
            std::string text;
            if (!read_string(text))
                return false;
            out.data = std::move(text);
        } else if (c == 'l') {
            ++pos_;
            auto list = std::make_unique<List>();
            while (pos_ < data_.size() && data_[pos_] != 'e') {
                list->emplace_back();
                if (!parse(list->back(), depth + 1))
                    return false;
            }
            if (pos_ >= data_.size())
                return false;
            ++pos_;
            out.data = std::move(list);
        } else if (c == 'd') {
            ++pos_;
            auto dict = std::make_unique<Dict>();
            while (pos_ < data_.size() && data_[pos_] != 'e') {
                std::string key;
                if (!read_string(key))
                    return false;
                Value value;
                if (!parse(value, depth + 1))
                    return false;
                if (!dict->emplace(std::move(key), std::move(value)).second)
                    return false;
            }
            if (pos_ >= data_.size())
                return false;
            ++pos_;
            out.data = std::move(dict);
        } else {
            return false;
        }
        out.end = pos_;
        return true;
    }

    bool at_end() const { return pos_ == data_.size(); }

  private:
    // Digits up to `terminator`; no leading zeros, no "-0", no overflow.
    bool read_integer(char terminator, std::int64_t& out, bool allow_negative) {
        bool negative = false;
        if (allow_negative && pos_ < data_.size() && data_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        const size_t start = pos_;
        std::uint64_t value = 0;
        while (pos_ < data_.size() && data_[pos_] >= '0' && data_[pos_] <= '9') {
            if (pos_ - start >= 18)
                return false;
            value = value * 10 + static_cast<unsigned>(data_[pos_] - '0');
            ++pos_;
        }
        const size_t digits = pos_ - start;
        if (digits == 0 || pos_ >= data_.size() || data_[pos_] != terminator)
            return false;
        if (digits > 1 && data_[start] == '0')
            return false;
        if (negative && value == 0)
            return false;
        ++pos_;
        out = negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
        return true;
    }

    bool read_string(std::string& out) {
        std::int64_t length = 0;
        if (pos_ >= data_.size() || data_[pos_] < '0' || data_[pos_] > '9')
            return false;
        if (!read_integer(':', length, false))
            return false;
        if (static_cast<std::uint64_t>(length) > data_.size() - pos_)
            return false;
        out.assign(data_.substr(pos_, static_cast<size_t>(length)));
        pos_ += static_cast<size_t>(length);
        return true;
    }

    std::string_view data_;
    size_t pos_ = 0;
    size_t nodes_ = 0;
};

std::string sha1_hex(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha1(), nullptr) != 1 || length != 20)
        return {};
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out.push_back(hex[digest[i] >> 4]);
        out.push_back(hex[digest[i] & 15]);
    }
    return out;
}

std::string utc_date(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (!gmtime_r(&time, &parts) || parts.tm_year + 1900 < 1 || parts.tm_year + 1900 > 9999)
        return "-";
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday);
    return buffer;
}

bool add_length(std::uint64_t& total, const Value* length) {
    if (!length || !length->integer() || *length->integer() < 0)
        return false;
    const auto add = static_cast<std::uint64_t>(*length->integer());
    if (total > UINT64_MAX - add)
        return false;
    total += add;
    return true;
}

}  // namespace

std::optional<Entry> read_torrent(std::string_view data) {
    Reader reader(data);
    Value root;
    if (!reader.parse(root, 0) || !reader.at_end() || !root.dict())
        return std::nullopt;
    const Value* info = root.get("info");
    if (!info || !info->dict())
        return std::nullopt;

    Entry entry;
    const Value* name = info->get("name.utf-8");
    if (!name || !name->string() || !utf8_decode(*name->string()))
        name = info->get("name");
    if (!name || !name->string() || name->string()->empty())
        return std::nullopt;
    entry.name = utf8_sanitize(*name->string());

    if (const Value* files = info->get("files")) {
        if (!files->list() || files->list()->empty())
            return std::nullopt;
        for (const Value& file : *files->list()) {
            if (!add_length(entry.size, file.get("length")))
                return std::nullopt;
        }
        entry.file_count = files->list()->size();
    } else {
        if (!add_length(entry.size, info->get("length")))
            return std::nullopt;
        entry.file_count = 1;
    }

    const Value* created = root.get("creation date");
    entry.date = created && created->integer() ? utc_date(*created->integer()) : "-";
    entry.hash = sha1_hex(data.substr(info->begin, info->end - info->begin));
    if (entry.hash.empty())
        return std::nullopt;
    return entry;
}

int add_torrent_folder(Catalogue& catalogue, const std::string& folder) {
    namespace fs = std::filesystem;
    int added = 0;
    std::error_code error;
    std::vector<fs::path> paths;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (it->path().extension() == ".torrent" && it->is_regular_file(ignored))
            paths.push_back(it->path());
    }
    // Directory order is arbitrary; sorted paths keep the served order stable between runs.
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
        std::error_code size_error;
        const auto size = fs::file_size(path, size_error);
        if (size_error || size > max_torrent_bytes)
            continue;
        std::ifstream in(path, std::ios::binary);
        std::string data(static_cast<size_t>(size), '\0');
        if (!in.read(data.data(), static_cast<std::streamsize>(data.size())))
            continue;
        if (auto entry = read_torrent(data); entry && catalogue.add(std::move(*entry)))
            ++added;
    }
    return added;
}

}  // namespace lunvek::site
