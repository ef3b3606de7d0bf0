// The search worker's two expressions over result pages shaped like the search site's.
#include <gtest/gtest.h>

#include "fixtures.h"
#include "regex/compiled_pattern.h"
#include "regex/regex_object.h"
#include "text/encoding.h"

namespace lunvek {
namespace {

using regex_test::detail_expression;
using regex_test::name_expression;

class ResultPage : public testing::TestWithParam<const char*> {};

TEST_P(ResultPage, EveryRowAsTheWorkerReadsIt) {
    const std::string base = GetParam();
    const Text page = regex_test::load_page(base + ".html");
    const std::vector<TextArray> rows = regex_test::load_expected_rows(base + ".rows");
    ASSERT_FALSE(page.empty());
    ASSERT_FALSE(rows.empty());

    RegexObject names;
    RegexObject details;
    ASSERT_TRUE(names.create(name_expression, page));
    ASSERT_TRUE(details.create(detail_expression, page));
    ASSERT_EQ(names.match_count(), static_cast<int>(rows.size()));
    ASSERT_EQ(details.match_count(), static_cast<int>(rows.size()));
    EXPECT_EQ(names.submatch_count(), 1);
    EXPECT_EQ(details.submatch_count(), 4);
    for (int j = 1; j <= names.match_count(); ++j) {
        const TextArray& row = rows[j - 1];
        ASSERT_EQ(row.size(), 5u);
        EXPECT_EQ(names.submatch_text(j, 1), row[0]) << "row " << j;
        for (int m = 1; m <= 4; ++m)
            EXPECT_EQ(details.submatch_text(j, m), row[m]) << "row " << j << " group " << m;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ResultPage, testing::Values("page_20", "page_20_crlf", "page_300"));

TEST(ResultPage, ExpressionsRunAsJitCode) {
    // The interpreter takes seconds to minutes on pages where the expressions find nothing.
    for (const Text& expression : {name_expression, detail_expression}) {
        const auto compiled = regex_detail::compile_pattern(cp936_to_utf16(expression), true, true);
        ASSERT_NE(compiled, nullptr);
        EXPECT_TRUE(regex_detail::runs_as_jit(*compiled));
    }
}

TEST(ResultPage, TruncatedPageLeavesTheLastRowWithoutDetails) {
    const Text page = regex_test::load_page("page_20.html");
    const std::vector<TextArray> rows = regex_test::load_expected_rows("page_20.rows");
    // Cut just after the last name: the last result keeps its name and loses its details.
    const Text last_name_end = rows.back()[0] + "</h5>";
    const std::size_t cut = page.rfind(last_name_end);
    ASSERT_NE(cut, Text::npos);
    const Text truncated = page.substr(0, cut + last_name_end.size());

    RegexObject names;
    RegexObject details;
    ASSERT_TRUE(names.create(name_expression, truncated));
    ASSERT_TRUE(details.create(detail_expression, truncated));
    EXPECT_EQ(names.match_count(), 20);
    EXPECT_EQ(details.match_count(), 19);
    EXPECT_EQ(names.submatch_text(20, 1), rows.back()[0]);
    EXPECT_EQ(details.submatch_text(20, 1), "");
    EXPECT_EQ(details.submatch_text(19, 4), rows[18][4]);
}

TEST(ResultPage, NameMustEndOnItsOwnLine) {
    // A name whose "</h5>" sits on the next line is not taken; the lazy "." stops at the line feed and the
    // next result's name is still found whole.
    const Text page = regex_test::cp936(
        "<div data-hash=\"a\">broken name\n</h5>\n<div data-hash=\"b\">good <span class='highlight'>名</span></h5>\n");
    RegexObject names;
    ASSERT_TRUE(names.create(name_expression, page));
    ASSERT_EQ(names.match_count(), 1);
    EXPECT_EQ(names.submatch_text(1, 1), regex_test::cp936("good <span class='highlight'>名</span>"));
}

}  // namespace
}  // namespace lunvek
