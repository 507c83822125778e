// The frame rates register.dat's table allows, and the rate each source gets under them (the
// option assembly's and the picture tests have the common cases).
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "encoder/encoder_limits.h"

using orvex::encoder::FrameRate;

namespace {

TEST(FrameRateTest, ReadsWhatFfmpegPrintsAndWritesWhatItTakes) {
    for (const auto& [text, written] :
         std::map<std::string, std::string>{{"29.97", "30000/1001"},
                                            {"59.94", "60000/1001"},
                                            {"12.5", "12.5"},
                                            {"1k", "1000"},
                                            {"ntsc", "30000/1001"},
                                            {"50/2", "25"},
                                            {"0", ""},
                                            {"25/0", ""},
                                            {"25fps", ""},
                                            {"1e300", ""},
                                            {"9999999999/9999999998", ""}}) {
        const std::optional<FrameRate> rate = FrameRate::parse(text);
        EXPECT_EQ(rate ? rate->text() : std::string(), written) << text;
    }
}

TEST(FrameRateTest, EachSourceGetsTheRateItsOutputAllows) {
    // codec, disc target, device, source rate -> the rate written
    const std::tuple<const char*, const char*, bool, const char*, const char*> cases[] = {
        {"mpeg2video", "", false, "12.5", "25"},      // MPEG: a whole multiple,
        {"mpeg2video", "", false, "100", "50"},       // or divisor,
        {"mpeg1video", "", false, "27", "25"},        // else the nearest standard rate
        {"", "pal-dvd", false, "29.97", "25"},        // discs keep their standard's
        {"", "ntsc-vcd", false, "25", "30000/1001"},  //
        {"libx264", "", true, "50", "25"},            // devices: at most 30, halving 50
        {"mpeg4", "", true, "45", "22.5"},            //
        {"mpeg4", "", true, "35", "30"},              // but not below 20
        {"mpeg2video", "", true, "60", "30"},         // both rules at once
    };
    for (const auto& [codec, target, device, source, expected] : cases) {
        const auto rule = orvex::encoder::frameRateRuleFor(codec, target, device);
        const FrameRate fitted = fitFrameRate(rule, FrameRate::parse(source).value());
        EXPECT_EQ(fitted.text(), expected) << codec << target << device << " " << source;
        EXPECT_TRUE(rule.allows(fitted)) << codec << " " << source;
    }
}

}  // namespace
