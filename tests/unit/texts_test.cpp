#include <gtest/gtest.h>

#include <string>

#include "runtime/testing.h"
#include "search_window/texts.h"

namespace {

using search_window::encode_query_value;
using search_window::join_texts;
using search_window::text_length;

std::string text_or_absent(const rt::Text& text) {
    return text ? text.get() : "<absent>";
}

TEST(TextLength, CountsBytesBeforeTheFirstZero) {
    EXPECT_EQ(text_length(nullptr), 0u);
    EXPECT_EQ(text_length(""), 0u);
    EXPECT_EQ(text_length("abc"), 3u);
    EXPECT_EQ(text_length("\xD6\xD0\xCE\xC4"), 4u);  // two characters, four bytes
    const char stops_early[] = {'a', 'b', '\0', 'c', '\0'};
    EXPECT_EQ(text_length(stops_early), 2u);
}

TEST(JoinTexts, JoinsPiecesAndTreatsAbsentOnesAsEmpty) {
    EXPECT_STREQ(join_texts("only").get(), "only");
    EXPECT_STREQ(join_texts(static_cast<const char*>(nullptr)).get(), "");
    EXPECT_STREQ(join_texts("", "").get(), "");
    EXPECT_STREQ(join_texts("http://h/so.asp?k=", static_cast<const char*>(nullptr)).get(),
                 "http://h/so.asp?k=");
    EXPECT_STREQ(join_texts(static_cast<const char*>(nullptr), "b", "", "cd").get(), "bcd");
    std::string long_piece(100000, 'x');
    EXPECT_EQ(join_texts("a", long_piece.c_str(), "z").get(), "a" + long_piece + "z");
}

TEST(JoinTexts, MakesExactlyOneAllocation) {
    // One allocation succeeds; a second one would end the program.
    rt::testing::fail_allocations_after(1);
    rt::Text joined = join_texts("ab", "cd", static_cast<const char*>(nullptr), "e");
    rt::testing::fail_allocations_after(-1);
    EXPECT_STREQ(joined.get(), "abcde");
}

TEST(JoinTextsDeathTest, RunningOutOfMemoryIsFatalAndNamesTheBytes) {
    EXPECT_EXIT(
        {
            rt::testing::fail_allocations_after(0);
            join_texts("prefix=", "value");
        },
        ::testing::ExitedWithCode(255), "13 字节");
}

struct QueryCase {
    const char* name;
    std::string typed;  // system code page bytes, as read from the edit box
    const char* expected;
};

class QueryEncoding : public ::testing::TestWithParam<QueryCase> {};

TEST_P(QueryEncoding, KeepsUnreservedBytesAndEscapesEveryOther) {
    const QueryCase& c = GetParam();
    rt::Text encoded = encode_query_value(c.typed.empty() ? nullptr : c.typed.c_str());
    EXPECT_EQ(text_or_absent(encoded), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QueryEncoding,
    ::testing::Values(QueryCase{"absent", "", "<absent>"},
                      QueryCase{"ascii", "Heat-1995_v2.0~", "Heat-1995_v2.0~"},
                      QueryCase{"spaces_kept_at_both_ends", "  Tom  ", "%20%20Tom%20%20"},
                      QueryCase{"query_delimiters", "&#?=%+", "%26%23%3F%3D%25%2B"},
                      QueryCase{"tom_and_jerry", "Tom & Jerry", "Tom%20%26%20Jerry"},
                      QueryCase{"chinese_in_code_page_936", "\xB7\xE8\xBF\xF1\xB5\xC4\xC8\xAF",
                                "%B7%E8%BF%F1%B5%C4%C8%AF"},
                      QueryCase{"four_byte_gb18030_emoji", "\x94\x39\xDA\x33", "%949%DA3"},
                      QueryCase{"control_characters", "a\tb\r\n", "a%09b%0D%0A"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QueryEncoding, LongTextIsEncodedWhole) {
    std::string typed(32767, 'a');
    typed[0] = ' ';
    rt::Text encoded = encode_query_value(typed.c_str());
    ASSERT_TRUE(encoded);
    EXPECT_EQ(text_length(encoded.get()), 32766u + 3u);
    EXPECT_EQ(std::string(encoded.get(), 4), "%20a");
}

}  // namespace
