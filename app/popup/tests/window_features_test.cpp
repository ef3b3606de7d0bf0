#include "app/popup/window_features.h"

#include <gtest/gtest.h>

namespace lunvek {
namespace {

TEST(WindowFeatures, ToolbarFollowsWhatThePageAskedFor) {
    const struct {
        const char* features;
        bool toolbar;
    } cases[] = {
        {"", true},  // no features: an ordinary browser window
        {"   ", true},
        {"toolbar=no", false},
        {"toolbar=yes", true},
        {"toolbar=yes,resizable=no", true},
        {"width=300,height=200", false},  // features given, tool bar not among them
        {"toolbar", true},
        {"toolbar=1", true},
        {"toolbar=0", false},
        {"toolbar=2", true},
        {"toolbar=00", false},
        {"toolbar=-1", true},
        {" ToolBar = YES ", true},
        {"toolbar=TRUE", true},
        {"toolbar=nonsense", false},
        {"toolbar=yes,toolbar=no", false},  // the last mention wins
        {"toolbar=no,toolbar", true},
        {"notoolbar=yes", false},
        {"resizable=no, toolbar=yes", true},
        {",,,", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(features_ask_for_toolbar(c.features), c.toolbar) << '"' << c.features << '"';
    }
}

}  // namespace
}  // namespace lunvek
