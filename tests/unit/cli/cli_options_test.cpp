#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <functional>

#include "../../support/qt_gtest.h"
#include "core/engine/jobs_at_once.h"

namespace {

using Options = CliOptions;
using Choice = CliOptions::StreamChoice;

TEST(CliOptionsTest, EachOptionInEachFormAndWhatIsWrongWithIt) {
    struct Case {
        QStringList args;
        QString error;  // empty: parsed
        std::function<bool(const Options&)> holds = [](const Options&) { return true; };
    };
    const auto jobsError = [](const char* name) {
        return QStringLiteral("%1 takes auto or a number from 1 to %2 (the cores)")
            .arg(QLatin1String(name))
            .arg(JobsAtOnce::cores());
    };
    const Case cases[] = {
        {{"-p118", "a.avi"},
         {},
         [](auto& o) { return o.profile == 118 && o.sources == QStringList{"a.avi"}; }},
        {{"--profile=7"}, {}, [](auto& o) { return o.profile == 7; }},
        {{"-p", "7", "--size", "2", "--video-quality=1", "--audio-quality", "0", "--channels", "1"},
         {},
         [](auto& o) {
             return o.profile == 7 && o.size == 2 && o.videoQuality == 1 && o.audioQuality == 0 &&
                    o.channels == 1;
         }},
        {{"-o", "/out", "--finish=shutdown", "-q", "-j1"},
         {},
         [](auto& o) {
             return o.output == "/out" && o.finish == Options::Finish::Shutdown && o.quiet &&
                    o.jobs == 1;
         }},
        {{"--jobs=auto"}, {}, [](auto& o) { return o.jobs == 0; }},
        {{"a.avi"}, {}, [](auto& o) { return !o.jobs; }},
        {{"-", "--", "-clip.avi", "--quiet"},
         {},
         [](auto& o) {
             return o.sources == QStringList{"-", "-clip.avi", "--quiet"} && !o.quiet;
         }},
        {{"--chapters", "--rows", "1,3-4", "--audio", "3=1", "--subtitle=3=0", "--list-streams"},
         {},
         [](auto& o) {
             return o.chapters && o.rows == QList<int>{1, 3, 4} &&
                    o.audio == QList<Choice>{{3, 1}} && o.subtitle == QList<Choice>{{3, 0}} &&
                    o.listStreams && o.usesDvdOptions();
         }},
        {{"--list-profiles", "--show-lists", "--list-jobs", "--print-commands", "-h", "--version"},
         {},
         [](auto& o) {
             return o.listProfiles && o.showLists && o.listJobs && o.printCommands && o.help &&
                    o.version && !o.usesDvdOptions();
         }},
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--quiet=yes"}, "option '--quiet' takes no value"},
        {{"-qx"}, "option '-q' takes no value"},
        {{"--profile"}, "option --profile needs a number"},
        {{"--size", "two"}, "option --size needs a number, not 'two'"},
        {{"-o"}, "option -o needs a folder"},
        {{"--output="}, "option --output needs a folder"},
        {{"--finish", "later"}, "--finish takes nothing, open or shutdown"},
        {{"--rows", "0"}, "--rows takes row positions from 1, such as 1,3-5"},
        {{"--subtitle", "1"}, "--subtitle takes ROW=ITEM, such as 2=1"},
        {{"-j", "0"}, jobsError("-j")},
        {{"--jobs", "many"}, jobsError("--jobs")},
        {{"--jobs", QString::number(JobsAtOnce::cores() + 1)}, jobsError("--jobs")},
    };
    for (const Case& c : cases) {
        const std::string name = c.args.join(' ').toStdString();
        QString error;
        const std::optional<Options> parsed = Options::parse(c.args, &error);
        EXPECT_EQ(error, c.error) << name;
        EXPECT_EQ(parsed.has_value(), c.error.isEmpty()) << name;
        if (parsed) {
            EXPECT_TRUE(c.holds(*parsed)) << name;
        }
    }
}

}  // namespace
