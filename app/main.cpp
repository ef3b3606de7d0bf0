// lunvek: the desktop program. It takes no arguments, reads no environment or files of its own.
#include <cstdio>

#include "app/app_settings.h"
#include "app/program.h"

int main() {
    if (!lunvek::start_program()) {
        std::fputs("lunvek: cannot open the display (is DISPLAY set?)\n", stderr);
        return 1;
    }
    lunvek::end_program(lunvek::run_main_window(lunvek::built_in_settings()));
}
