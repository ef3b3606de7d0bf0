// The application's tests run in one process: a private desktop (XDG folders with a recording handler for
// magnet and web addresses) is set up before the toolkit starts.
#include <gtest/gtest.h>

#include "gui_support.h"

// Under ThreadSanitizer: the desktop libraries are not instrumented and synchronise in ways it cannot see
// (GLib's own mutexes, fontconfig's start-up thread,
// WebKit's JavaScript engine and its own locks). Races reported inside them are theirs; every report
// with a frame of ours outside them still stops the run.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libglib-2.0.so\n"
           "race:libgobject-2.0.so\n"
           "race:libgio-2.0.so\n"
           "race:libgtk-3.so\n"
           "race:libgdk-3.so\n"
           "race:libpango-1.0.so\n"
           "race:libpangoft2-1.0.so\n"
           "race:libpangocairo-1.0.so\n"
           "race:libfontconfig.so\n"
           "race:libfreetype.so\n"
           "race:libharfbuzz.so\n"
           "race:libcairo.so\n"
           "race:libpixman-1.so\n"
           "race:libgdk_pixbuf-2.0.so\n"
           "race:libatk-1.0.so\n"
           "race:libatk-bridge-2.0.so\n"
           "race:libdbus-1.so\n"
           "race:libX11.so\n"
           "race:libxcb.so\n"
           "race:libepoxy.so\n"
           "race:librsvg-2.so\n"
           "race:libjavascriptcoregtk-4.1.so\n"
           "race:libwebkit2gtk-4.1.so\n"
           "race:libsoup-3.0.so\n"
           "deadlock:libglib-2.0.so\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    lunvek::testing::prepare_test_desktop();
    const int result = RUN_ALL_TESTS();
    lunvek::testing::remove_test_desktop();
    return result;
}
