#include "numbers/number_reader.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace orvex::numbers;
using N = std::optional<std::int64_t>;

TEST(NumberReaderTest, WholeNumbersIntegersAndClockTimes) {
    const struct {
        const char* text;
        N digits;   // limit 1000
        N whole;    // limit 1000
        N integer;  // -1000..1000
        N clock;    // seconds
    } cases[] = {
        {"0", 0, 0, 0, {}},
        {"1000", 1000, 1000, 1000, {}},
        {"1001", {}, {}, {}, {}},
        {" 12\t", {}, 12, 12, {}},
        {"-5", {}, {}, -5, {}},
        {"+5", {}, {}, 5, {}},
        {"-", {}, {}, {}, {}},
        {"", {}, {}, {}, {}},
        {"1 2", {}, {}, {}, {}},
        {"12abc", {}, {}, {}, {}},
        {"0000000000000000001", {}, {}, {}, {}},  // 19 digits
        {"01:02:03", {}, {}, {}, 3723},
        {"01-02-03", {}, {}, {}, 3723},  // separators are not examined
        {"100:00:00.5", {}, {}, {}, 360000},
        {"00:59:59", {}, {}, {}, 3599},
        {"00:60:00", {}, {}, {}, {}},
        {"00:99:00", {}, {}, {}, {}},
        {"00:00:60", {}, {}, {}, {}},
        {"1:02:03", {}, {}, {}, {}},  // one-digit hour
        {"999999999999:00:00", {}, {}, {}, 3599999999996400},
        {"1000000000000:00:00", {}, {}, {}, {}},  // 13-digit hour
        {"01:02:0", {}, {}, {}, {}},
        {"01:2:03", {}, {}, {}, {}},
        {"-01:02:03", {}, {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(digits(c.text, 1000), c.digits);
        EXPECT_EQ(wholeNumber(c.text, 1000), c.whole);
        EXPECT_EQ(integer(c.text, -1000, 1000), c.integer);
        const std::optional<ClockTime> time = clockTime(c.text);
        EXPECT_EQ(time ? N(time->seconds) : N(), c.clock);
    }
    EXPECT_EQ(clockTime("00:01:23.45")->length, 8u);
    EXPECT_EQ(integer("-999999999999999999", INT64_MIN, 0), -999999999999999999);
}

}  // namespace
