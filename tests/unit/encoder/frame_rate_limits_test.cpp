// The frame rates register.dat's table allows, and the rate each source gets under them.
#include <gtest/gtest.h>

#include "encoder/encoder_limits.h"
#include "encoder/frame_rate.h"

using orvex::encoder::FrameRate;
using orvex::encoder::FrameRateRule;

namespace {

TEST(FrameRateTest, ReadsWhatFfmpegPrintsAndWritesWhatItTakes) {
    struct Case {
        const char* text;
        const char* written;  // empty: not a rate
    };
    const Case cases[] = {
        {"25", "25"},
        {"29.97", "30000/1001"},
        {"23.98", "24000/1001"},
        {"59.94", "60000/1001"},
        {"119.88", "120000/1001"},
        {"30000/1001", "30000/1001"},
        {"12.5", "12.5"},
        {"20.23", "20.23"},
        {"50/2", "25"},
        {"1k", "1000"},
        {"ntsc", "30000/1001"},
        {"pal", "25"},
        {"0", ""},
        {"-25", ""},
        {"25/0", ""},
        {"abc", ""},
        {"25fps", ""},
        {"", ""},
        {"1e300", ""},
        {"5000000000/1", ""},
        {"9999999999/9999999998", ""},
    };
    for (const Case& c : cases) {
        const std::optional<FrameRate> rate = FrameRate::parse(c.text);
        EXPECT_EQ(rate ? rate->text() : std::string(), c.written) << c.text;
    }
}

TEST(FrameRateTest, EachSourceGetsTheRateItsOutputAllows) {
    struct Case {
        const char* codec;
        const char* target;
        bool device;
        const char* source;
        const char* expected;
    };
    const Case cases[] = {
        // Any rate where nothing limits it, a variable rate's average too.
        {"mpeg4", "", false, "29.97", "30000/1001"},
        {"libx264", "", false, "20.23", "20.23"},
        {"libxvid", "", false, "60", "60"},
        // MPEG-1/2: a standard rate; a whole multiple shows every frame equally long.
        {"mpeg1video", "", false, "25", "25"},
        {"mpeg1video", "", false, "15", "30"},
        {"mpeg2video", "", false, "10", "30"},
        {"mpeg2video", "", false, "12.5", "25"},
        {"mpeg2video", "", false, "100", "50"},
        {"mpeg2video", "", false, "48", "24"},
        {"mpeg1video", "", false, "20.23", "24000/1001"},
        {"mpeg1video", "", false, "27", "25"},
        // Disc targets keep their standard's rate.
        {"", "pal-dvd", false, "29.97", "25"},
        {"", "ntsc-vcd", false, "25", "30000/1001"},
        {"", "film-dvd", false, "25", "24000/1001"},
        // Devices: at most 30, halving 50 and 60; a rate that halves too far gets 30.
        {"mpeg4", "", true, "29.97", "30000/1001"},
        {"mpeg4", "", true, "59.94", "30000/1001"},
        {"libx264", "", true, "50", "25"},
        {"libx264", "", true, "120", "30"},
        {"mpeg4", "", true, "35", "30"},
        {"mpeg4", "", true, "45", "22.5"},
        {"mpeg2video", "", true, "60", "30"},
        {"mpeg2video", "", true, "50", "25"},
    };
    for (const Case& c : cases) {
        const FrameRateRule rule = orvex::encoder::frameRateRuleFor(c.codec, c.target, c.device);
        const FrameRate fitted =
            orvex::encoder::fitFrameRate(rule, FrameRate::parse(c.source).value());
        EXPECT_EQ(fitted.text(), c.expected)
            << c.codec << " " << c.target << (c.device ? " device " : " ") << c.source;
        EXPECT_TRUE(rule.allows(fitted)) << c.codec << " " << c.source;
    }
}

}  // namespace
