// Reading .torrent files: a small bencode reader with bounded depth and sizes that rejects malformed
// input quietly, and the scan of a folder of torrents into catalogue entries.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "site/catalogue.h"

namespace lunvek::site {

// The entry a torrent describes: info-hash = SHA-1 of the exact bencoded info dictionary; name (name.utf-8
// when present), total size, file count, creation date (UTC). No value for anything malformed.
std::optional<Entry> read_torrent(std::string_view data);

// Adds every readable .torrent file under `folder` (recursively). Returns the number added.
int add_torrent_folder(Catalogue& catalogue, const std::string& folder);

}  // namespace lunvek::site
