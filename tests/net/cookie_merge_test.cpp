#include <gtest/gtest.h>

#include "net/cookie_merge.h"

namespace lunvek {
namespace {

TEST(CookieMerge, MergesNewOverOldAndDropsDeleted) {
    const struct {
        const char* old_text;
        const char* new_text;
        const char* merged;
    } cases[] = {
        {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1"},
        {"a=1; b=2", "a=deleted", "b=2"},
        {"x=deleted", "", ""},
        {"", "a=1; a=2", "a=1; a=2"},  // same name, different values: both stay
        {"", "a=1; a=1", "a=1"},
        {"b=1; b=2", "", "b=1"},
        {"a=hello world", "", "a=helloworld"},
        {"", "a=DELETED", "a=DELETED"},  // the deleted test is case-sensitive
        {"a=1;;b=2", "", "a=1; ; b=2"},
        {"", "", ""},
        {"ab", "", "ab"},  // shorter than "=deleted": compared whole
        {" a = 1 ;b=2", "A=3", "A=3; a=1; b=2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.old_text) + " | " + c.new_text);
        Text old_cookies = c.old_text;
        Text new_cookies = c.new_text;
        EXPECT_EQ(merge_cookies(old_cookies, new_cookies), c.merged);
        EXPECT_EQ(old_cookies, c.merged);
    }
}

TEST(CookieMerge, NewTextComesBackWithoutSpaces) {
    Text old_cookies;
    Text new_cookies = "a=1; b=2";
    merge_cookies(old_cookies, new_cookies);
    EXPECT_EQ(new_cookies, "a=1;b=2");
}

TEST(CookieMerge, Helpers) {
    EXPECT_EQ(cookie_name("a=b=c"), "a");
    EXPECT_EQ(cookie_name(" sid =1"), "sid");
    EXPECT_EQ(cookie_name("flag"), "flag");
    EXPECT_TRUE(has_cookie_named({"x=1", "sid=2"}, "sid"));
    EXPECT_FALSE(has_cookie_named({"x=1", "sid=2"}, "SID"));

    EXPECT_EQ(index_of_item({"a", "b", "b"}, "b"), 2);
    EXPECT_EQ(index_of_item({"a"}, "c"), -1);
    EXPECT_EQ(index_of_item({}, ""), -1);

    EXPECT_EQ(remove_duplicate_items("a; b; a; ; c; ", "; "), "a; b; ; c");
    EXPECT_EQ(remove_duplicate_items("", "; "), "");
    EXPECT_EQ(remove_duplicate_items("x,x,y", ","), "x,y");
}

}  // namespace
}  // namespace lunvek
