// Start-up to a mapped window, measured from outside: spawns a program, waits for the X server to map a
// top-level window with the given name, prints the milliseconds in between, then (optionally after a pause)
// the program's resident memory, and ends the program.
// Usage: map_timer NAME SETTLE_MS PROGRAM [ARGS...]   prints "<map ms> <resident kB>"
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

extern char** environ;

namespace {

bool has_name(Display* display, Window window, const char* name) {
    char* found = nullptr;
    bool same = XFetchName(display, window, &found) && found && std::strcmp(found, name) == 0;
    if (found)
        XFree(found);
    return same;
}

long resident_kb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: map_timer NAME SETTLE_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[3], nullptr, nullptr, argv + 3, environ) != 0)
        return 2;
    double mapped_ms = -1;
    while (mapped_ms < 0) {
        XEvent event;
        XNextEvent(display, &event);
        // Both programs name their window before they map it.
        if (event.type == MapNotify && has_name(display, event.xmap.window, argv[1])) {
            mapped_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    std::printf("%.1f %ld\n", mapped_ms, resident_kb(pid));
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    return 0;
}
