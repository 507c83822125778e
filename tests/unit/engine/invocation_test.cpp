#include "core/engine/invocation.h"

#include <gtest/gtest.h>

#include "../../support/qt_gtest.h"

namespace {

intputrec typicalRecord() {
    intputrec rec;
    rec.encoderPath = "/opt/orvex/register.dat";
    rec.workFolder = "/opt/orvex/";
    rec.inputName = "/v/clip.avi";
    rec.outputName = "/out/clip.mp4";
    rec.videoOption = " -r 25 -b 1000000";
    rec.audioOption = " -ab 128000";
    rec.channelOption = " -ac 2";
    rec.aspectOption = " -aspect 1.3333";
    rec.sizeOption = " -s 320x240";
    rec.rateOption = " -ar 44100 ";
    rec.profileArgs = " -vcodec libx264 -acodec aac";
    rec.durationSeconds = 42;
    return rec;
}

TEST(Invocation, QuoteOnlyTextsWithBlanks) {
    const struct {
        const char* text;
        const char* quoted;
    } cases[] = {
        {"/v/clip.avi", "/v/clip.avi"},
        {"/v/my clip.avi", "\"/v/my clip.avi\""},
        {"/v/$HOME;rm&x|y'z.avi", "/v/$HOME;rm&x|y'z.avi"},  // no blank: passed bare
        {"/v/say \"hi\".avi", "\"/v/say \"hi\".avi\""},      // embedded quotes not escaped
        {"", ""},
        {" ", "\" \""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Quote(QString::fromUtf8(c.text)), QString::fromUtf8(c.quoted)) << c.text;
    }
}

TEST(Invocation, CommandLineTextIsTheFourteenPiecesInOrder) {
    intputrec rec = typicalRecord();
    EXPECT_EQ(commandLineText(rec),
              "/opt/orvex/register.dat -y  -i /v/clip.avi -r 25 -b 1000000 -ab 128000 -ac 2"
              " -aspect 1.3333 -s 320x240  -ar 44100  -vcodec libx264 -acodec aac /out/clip.mp4");

    rec.encoderPath = "/opt/my orvex/register.dat";
    rec.inputName = "vts://01*0*123456*0*0*//media/My Disc";
    rec.outputName = "/out/Title_01.mpg";
    rec.videoOption = rec.audioOption = rec.channelOption = rec.aspectOption = rec.sizeOption =
        rec.rateOption = "";
    rec.profileArgs = " -target pal-dvd ";
    EXPECT_EQ(commandLineText(rec),
              "\"/opt/my orvex/register.dat\" -y  -i \"vts://01*0*123456*0*0*//media/My Disc\""
              "  -target pal-dvd  /out/Title_01.mpg");
}

TEST(Invocation, ArgumentListKeepsPathsWhole) {
    intputrec rec = typicalRecord();
    EXPECT_EQ(argumentList(rec),
              QStringList({"-y",      "-i",      "/v/clip.avi", "-r",           "25",    "-b",
                           "1000000", "-ab",     "128000",      "-ac",          "2",     "-aspect",
                           "1.3333",  "-s",      "320x240",     "-ar",          "44100", "-vcodec",
                           "libx264", "-acodec", "aac",         "/out/clip.mp4"}));

    const QStringList oddNames = {"/v/my clip.avi",      "/v/say \"hi\".avi", "/v/$x;y&z|w.avi",
                                  "/v/ünïcödé 日本.mkv", "/v/-dash.avi",      "/v/a\tb.avi"};
    for (const QString& name : oddNames) {
        rec.inputName = name;
        rec.outputName = name + ".mp4";
        const QStringList args = argumentList(rec);
        ASSERT_GE(args.size(), 3);
        EXPECT_EQ(args.at(2), name);
        EXPECT_EQ(args.last(), name + ".mp4");
        EXPECT_FALSE(args.contains(rec.encoderPath)) << "the program is not its own argument";
    }
}

TEST(Invocation, RelativeOutputWithALeadingDashIsNotReadAsAnOption) {
    intputrec rec = typicalRecord();
    rec.outputName = "-out.mp4";
    EXPECT_EQ(argumentList(rec).last(), "./-out.mp4");
    EXPECT_TRUE(commandLineText(rec).endsWith(" ./-out.mp4"));
}

TEST(Invocation, OptionTextsSplitOnBlanksWithQuotedValuesKeptTogether) {
    intputrec rec;
    rec.inputName = "in";
    rec.outputName = "out";
    rec.profileArgs = "  -vf \"scale=320:240, setsar=1\"\t-metadata title=\"\"  -f mp4 ";
    EXPECT_EQ(argumentList(rec), QStringList({"-y", "-i", "in", "-vf", "scale=320:240, setsar=1",
                                              "-metadata", "title=", "-f", "mp4", "out"}));
}

TEST(Invocation, TextAndArgumentsStayInStep) {
    // With no blanks or quotes in any field, the displayed line split on blanks is exactly the
    // program followed by the arguments the process receives.
    intputrec a = typicalRecord();
    intputrec b = a;
    b.videoOption.clear();
    b.sizeOption.clear();
    b.profileArgs = " -target ntsc-vcd ";
    intputrec c = a;
    c.rateOption = " -ar 8000";  // no trailing blank: "8000" runs into the next option text
    c.profileArgs = "0 -acodec mp2";
    for (const intputrec& rec : {a, b, c}) {
        QStringList fromText = commandLineText(rec).split(' ', Qt::SkipEmptyParts);
        EXPECT_EQ(fromText.takeFirst(), rec.encoderPath);
        EXPECT_EQ(fromText, argumentList(rec));
    }
}

}  // namespace
