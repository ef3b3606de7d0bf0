#include "app/globals.h"

namespace lunvek {

std::atomic<int> search_done_flag{0};
std::atomic<int> keyword_cleared_flag{0};
Guarded<Text> current_version;
Guarded<Text> fetched_version;
Guarded<TextArray> hot_keywords;

void allocate_globals() {
    hot_keywords.set(TextArray{});
}

void release_globals() {
    current_version.release();
    hot_keywords.release();
    fetched_version.release();
}

}  // namespace lunvek
