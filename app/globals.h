// The program's module-wide state. Flags are atomics because the window thread, the search workers and the
// animation threads read and write them without any other ordering. The texts sit behind a lock of their
// own: at exit the window thread releases them while a late start-up worker may still be running.
#pragma once

#include <atomic>
#include <mutex>

#include "text/text.h"

namespace lunvek {

template <typename Value>
class Guarded {
  public:
    Value get() const {
        std::lock_guard lock(mutex_);
        return value_;
    }
    void set(Value value) {
        std::lock_guard lock(mutex_);
        value_ = std::move(value);
    }
    void release() { set(Value{}); }

  private:
    mutable std::mutex mutex_;
    Value value_{};
};

extern std::atomic<int> search_done_flag;      // 1 once a search worker has filled the list
extern std::atomic<int> keyword_cleared_flag;  // 1 after the first click into the keyword box
extern Guarded<Text> current_version;          // our own version date, set before the version check starts
extern Guarded<Text> fetched_version;          // what the update site answered
extern Guarded<TextArray> hot_keywords;        // popular searches in page order
// popup_placed_flag belongs to the popup code (app/popup/popup_globals.h) and lives in its module.

void allocate_globals();
void release_globals();

}  // namespace lunvek
