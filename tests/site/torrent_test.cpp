// .torrent reading: hostile bencode is refused quietly, and what the site serves for real torrents made by
// mktorrent equals what transmission-show prints for the same files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "server_process.h"
#include "site/pages.h"
#include "site/torrent.h"

namespace lunvek::site {
namespace {

namespace fs = std::filesystem;
using testing::run_command;
using testing::ServerProcess;

TEST(ReadTorrent, RefusesMalformedInput) {
    const std::string deep = std::string(200, 'l') + std::string(200, 'e');
    const std::string cases[] = {
        "",
        "d",
        "de",                                                 // no info
        "d4:infoi1ee",                                        // info not a dictionary
        "d4:infod4:name1:a6:lengthi01eee",                    // leading zero
        "d4:infod4:name1:a6:lengthi-0eee",                    // negative zero
        "d4:infod4:name1:a6:lengthi-5eee",                    // negative length
        "d4:infod4:name1:a6:lengthi99999999999999999999eee",  // too many digits
        "d4:infod4:name99999999999999999999:aee",             // string longer than the file
        "d4:infod4:name5:aee",                                // truncated string
        "d4:infod4:name1:a6:lengthi1eeexyz",                  // trailing bytes
        "d4:infod4:name1:a4:name1:b6:lengthi1eee",            // duplicate key
        "d4:infod4:name1:a5:filesleee",                       // empty file list
        "d4:infod4:name1:a5:filesld4:pathl1:xeeeee",          // a file without length
        "d4:infod4:name0:6:lengthi1eee",                      // empty name
        "d4:infod6:lengthi1eee",                              // no name
        "d4:infod4:name1:a6:lengthi1ee",                      // unterminated
        "d4:info" + deep + "e",
        "di1e4:infoe",  // key not a string
        "d4:infod4:name1:a6:lengthi1e4:name",
    };
    for (const auto& data : cases)
        EXPECT_FALSE(read_torrent(data).has_value()) << data;
}

TEST(ReadTorrent, ReadsNameSizeFileCountAndDate) {
    const struct {
        std::string data, name;
        std::uint64_t size, files;
        std::string date;
    } cases[] = {
        {"d13:creation datei1399334400e4:infod6:lengthi1471026299e4:name8:test.iso12:piece lengthi16384e6:pieces0:ee",
         "test.iso", 1471026299, 1, "2014-05-06"},
        {"d4:infod5:filesld6:lengthi10e4:pathl1:aeed6:lengthi5e4:pathl1:b1:ceee4:name3:dir12:piece lengthi16384e6:"
         "pieces0:ee",
         "dir", 15, 2, "-"},
        {"d4:infod6:lengthi0e4:name4:raw\xff"
         "10:name.utf-86:\xe7\x94\xb5\xe5\xbd\xb1"
         "ee",
         "电影", 0, 1, "-"},
        {"d4:infod6:lengthi1e4:name3:x\xff\x66"
         "ee",
         "x\uFFFD"
         "f",
         1, 1, "-"},
    };
    for (const auto& c : cases) {
        const auto entry = read_torrent(c.data);
        ASSERT_TRUE(entry.has_value()) << c.data;
        EXPECT_EQ(entry->name, c.name);
        EXPECT_EQ(entry->size, c.size);
        EXPECT_EQ(entry->file_count, c.files);
        EXPECT_EQ(entry->date, c.date);
        EXPECT_TRUE(is_info_hash(entry->hash));
    }
}

struct ShownTorrent {
    std::string name, hash, total_size, created;
    int files = 0;
};

ShownTorrent transmission_show(const fs::path& torrent) {
    const std::string out = run_command({"env", "TZ=UTC", "transmission-show", torrent.string()});
    ShownTorrent shown;
    std::istringstream lines(out);
    bool in_files = false;
    for (std::string line; std::getline(lines, line);) {
        const auto value = [&](const char* label) { return line.substr(std::string(label).size()); };
        if (line.starts_with("  Name: "))
            shown.name = value("  Name: ");
        if (line.starts_with("  Hash: "))
            shown.hash = value("  Hash: ");
        if (line.starts_with("  Total Size: "))
            shown.total_size = value("  Total Size: ");
        if (line.starts_with("  Created on: "))
            shown.created = value("  Created on: ");
        if (line == "FILES")
            in_files = true;
        else if (in_files && line.starts_with("  "))
            ++shown.files;
    }
    return shown;
}

// transmission-show rounds sizes to decimal units; the exact byte count must round to what it printed.
void expect_size_matches(std::uint64_t bytes, const std::string& shown) {
    const size_t space = shown.find(' ');
    ASSERT_NE(space, std::string::npos) << shown;
    const std::string number = shown.substr(0, space), unit = shown.substr(space + 1);
    const double scale = unit == "B" || unit == "bytes" ? 1 : unit == "kB" ? 1e3 : unit == "MB" ? 1e6 : 1e9;
    const size_t dot = number.find('.');
    const int decimals = dot == std::string::npos ? 0 : static_cast<int>(number.size() - dot - 1);
    EXPECT_LE(std::fabs(static_cast<double>(bytes) - std::stod(number) * scale), 0.5 * std::pow(10, -decimals) * scale)
        << bytes << " vs " << shown;
}

std::string date_of(const std::string& created) {  // "Fri Dec 11 09:01:19 2026" -> "2026-12-11"
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::istringstream in(created);
    std::string weekday, month, day, time, year;
    in >> weekday >> month >> day >> time >> year;
    int m = 0;
    while (m < 12 && month != months[m])
        ++m;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s-%02d-%02d", year.c_str(), m + 1, std::atoi(day.c_str()));
    return buffer;
}

void write_file(const fs::path& path, size_t size) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < size; ++i)
        out.put(static_cast<char>((i * 131 + size) & 0xFF));
}

TEST(TorrentFolder, ServesWhatTransmissionShowPrintsForRealTorrents) {
    const fs::path root = fs::temp_directory_path() / ("site_torrents_" + std::to_string(getpid()));
    fs::remove_all(root);
    const fs::path data = root / "data", torrents = root / "torrents";
    write_file(data / "单个文件 sample.bin", 123457);
    write_file(data / "Collection Multi" / "a.txt", 1000);
    write_file(data / "Collection Multi" / "sub" / "b.bin", 70000);
    write_file(data / "Collection Multi" / "sub" / "deeper" / "c.dat", 5);
    fs::create_directories(torrents / "nested");
    const std::pair<fs::path, fs::path> made[] = {
        {data / "单个文件 sample.bin", torrents / "single.torrent"},
        {data / "Collection Multi", torrents / "nested" / "multi.torrent"},
    };
    for (const auto& [source, torrent] : made) {
        int status = -1;
        run_command({"mktorrent", "-a", "http://127.0.0.1:1/announce", "-o", torrent.string(), source.string()},
                    &status);
        ASSERT_EQ(status, 0) << "mktorrent failed for " << source;
    }
    std::ofstream(torrents / "broken.torrent") << "d4:infod4:name";
    std::ofstream(torrents / "notes.txt") << "d4:infod4:name1:x6:lengthi1eee";  // not a .torrent: ignored

    Catalogue catalogue;
    EXPECT_EQ(add_torrent_folder(catalogue, torrents.string()), 2);
    EXPECT_EQ(add_torrent_folder(catalogue, (root / "missing").string()), 0);

    ServerProcess server({"--torrent-dir", torrents.string()});
    ASSERT_GT(server.port(), 0);
    for (const auto& [source, torrent] : made) {
        const ShownTorrent shown = transmission_show(torrent);
        ASSERT_EQ(shown.hash.size(), 40u) << torrent;
        const Entry* entry = catalogue.find(shown.hash);
        ASSERT_NE(entry, nullptr) << shown.hash;
        EXPECT_EQ(entry->name, shown.name);
        EXPECT_EQ(static_cast<int>(entry->file_count), shown.files);
        expect_size_matches(entry->size, shown.total_size);
        EXPECT_EQ(entry->date, date_of(shown.created));

        // The running site serves the same values on the detail page and in search results.
        const auto detail = server.get("/hash/" + shown.hash);
        ASSERT_EQ(detail.status, 200);
        EXPECT_NE(detail.body.find("class=\"detail-name\">" + shown.name + "</h2>"), std::string::npos);
        EXPECT_NE(detail.body.find("<span class=\"bytes\">" + std::to_string(entry->size) + "</span>"),
                  std::string::npos);
        EXPECT_NE(detail.body.find("<span class=\"files\">" + std::to_string(shown.files) + "</span>"),
                  std::string::npos);
        EXPECT_NE(detail.body.find("magnet:?xt=urn:btih:" + shown.hash), std::string::npos);
        const auto results = server.get("/search?keyword=" + percent_encode(shown.name));
        EXPECT_NE(results.body.find("data-hash=\"" + shown.hash + "\">"), std::string::npos) << shown.name;
        EXPECT_NE(results.body.find(">" + std::to_string(shown.files) + "</span>"), std::string::npos);
    }
    fs::remove_all(root);
}

}  // namespace
}  // namespace lunvek::site
