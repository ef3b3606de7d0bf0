// The application's tests run in one process: a private desktop (XDG folders with a recording handler for
// magnet and web addresses) is set up before the toolkit starts.
#include <gtest/gtest.h>

#include "gui_support.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    lunvek::testing::prepare_test_desktop();
    const int result = RUN_ALL_TESTS();
    lunvek::testing::remove_test_desktop();
    return result;
}
