#include "core/engine/time_value.h"

#include <gtest/gtest.h>

#include "../../support/qt_gtest.h"

namespace {

TEST(TimeValue, SecondsOfTimeValue) {
    const struct {
        const char* text;
        qint32 seconds;
    } cases[] = {
        {"00:00:00", 0},
        {"01:02:03", 3723},
        {"99:59:59", 359999},
        {"100:00:00", 360000},  // what timeValueOfSeconds writes above 99 hours reads back
        {"00:00:03.04", 3},     // probe durations carry hundredths; they are cut off
        {"01-02-03", 3723},     // the separators are not examined
        {"1:02:03", 0},         // one-digit hour
        {"", 0},
        {"aa:bb:cc", 0},
        {"01:02", 0},  // too short
        {"01:02:0x", 0},
        {"-1:02:03", 0},
        {" 1:02:03", 0},
        {"00:00:0", 0},
        {"00:99:00", 0},  // no minute beyond 59, as in the encoder's progress lines
    };
    for (const auto& c : cases) {
        EXPECT_EQ(secondsOfTimeValue(QString::fromLatin1(c.text)), c.seconds) << c.text;
    }
}

TEST(TimeValue, TimeValueOfSeconds) {
    const struct {
        qint32 seconds;
        const char* text;
    } cases[] = {
        {0, "00:00:00"},    {59, "00:00:59"},     {60, "00:01:00"},
        {3723, "01:02:03"}, {359999, "99:59:59"}, {360000, "100:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(timeValueOfSeconds(c.seconds), QString::fromLatin1(c.text)) << c.seconds;
        EXPECT_EQ(secondsOfTimeValue(timeValueOfSeconds(c.seconds)), c.seconds);
    }
}

}  // namespace
