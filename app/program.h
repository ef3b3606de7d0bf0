// Start-up and end of the program, shared by lunvek's main() and the in-process tests.
#pragma once

#include "app/app_settings.h"

namespace lunvek {

// Window thread, once: the toolkit, the globals, the window thread's identity and the timed request's
// wait hook. False when no display can be opened.
bool start_program();

// Shows the main window and runs until the last window of ours (main or popup) has closed, then releases
// the globals. Returns the process's exit code.
int run_main_window(const AppSettings& settings);

// Ends the process. Workers still running (a request the site never answers) are not waited for.
[[noreturn]] void end_program(int code);

}  // namespace lunvek
