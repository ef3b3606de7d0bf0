// Waiting without freezing the window. On the window thread a wait keeps the main loop turning; a worker
// thread owns no windows (its message boxes are shown by the window thread), so there it simply sleeps.
#pragma once

namespace lunvek {

// Records the calling thread as the window thread; done once at start-up, before any worker starts.
void mark_window_thread();
bool on_window_thread();

// Handles the window events already waiting, then returns; does nothing off the window thread.
void process_pending_input();

// Waits `milliseconds`, handling window events meanwhile when called on the window thread.
void wait_dispatching(int milliseconds);

}  // namespace lunvek
