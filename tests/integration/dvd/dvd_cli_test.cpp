// orvex-dvd-cli on a disc folder made with dvdauthor: its rows against lsdvd, the stream lists,
// the choices of the command line, and titles and chapters converted with the second audio
// track and the subtitle burnt in.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "../../support/dvd_fixture.h"
#include "../../support/lsdvd.h"
#include "../../support/test_media.h"
#include "../../support/test_session.h"
#include "ifoinfo/stream_descriptions.h"

using namespace orvex::test;

namespace {

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

QString timeOf(int seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

class DvdCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(fixture().root.isEmpty()) << fixture().error.toStdString();
        ASSERT_TRUE(dir_.isValid());
        QDir().mkpath(path("config/orvex"));
        // The edition comes from the name the program is started by.
        ASSERT_TRUE(QFile::link(binDir() + "/orvex-cli", path("orvex-dvd-cli")));
    }
    static const DvdFixture& fixture() { return dvdFixture(); }
    QString path(const QString& name) const { return dir_.filePath(name); }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));  // never the real ones
        env.insert(QStringLiteral("XDG_STATE_HOME"), path("state"));
        return env;
    }
    CliRun run(const QStringList& args, const QString& program = {}) {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(program.isEmpty() ? path("orvex-dvd-cli") : program, args);
        CliRun r;
        if (!p.waitForStarted() || !p.waitForFinished(300000)) {
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    // --list-jobs as rows of cells.
    QList<QStringList> jobs(const QStringList& args) {
        const CliRun r = run(QStringList{"--list-jobs"} + args);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        QList<QStringList> rows;
        for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts)) {
            rows << line.split('\t');
        }
        return rows;
    }

    QTemporaryDir dir_;
};

// The rows lsdvd's reading of a disc gives: a row per title, in the chapter view followed by a
// row per chapter (a program of one cell or several), numbered by its place; the titles in
// `dropped` (under 1000 sectors) give none.
QList<QStringList> rowsOf(const QList<LsdvdTitle>& titles, bool chapters,
                          const QList<int>& dropped = {}) {
    QList<QStringList> rows;
    auto number = [](qsizetype n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    for (int t = 0; t < titles.size(); ++t) {
        const LsdvdTitle& title = titles[t];
        if (dropped.contains(t)) {
            continue;
        }
        rows << QStringList{"Title_" + number(rows.size() + 1), title.size, timeOf(title.seconds)};
        for (int c = 0; chapters && c < title.chapterSeconds.size(); ++c) {
            rows << QStringList{"  Chapter_" + number(c + 1), title.size,
                                timeOf(title.chapterSeconds[c])};
        }
    }
    return rows;
}

// Titles and chapters with their times and sizes as lsdvd reads them, chains and programs under
// 1000 sectors left out; the same rows from the disc root, its VIDEO_TS folder and its IFO
// files, and from an image of it; every row ticked with the first audio item and no subtitle.
// The multi-cell disc has one chapter row per program, whatever its number of cells.
TEST_F(DvdCliTest, RowsAgreeWithLsdvdInBothViews) {
    const QList<LsdvdTitle> titles = lsdvd(fixture().root);
    ASSERT_EQ(titles.size(), 3);
    ASSERT_EQ(titles[0].chapterSeconds.size(), 3);
    const DvdFixture& multi = multiCellDvd();
    ASSERT_FALSE(multi.root.isEmpty()) << multi.error.toStdString();
    const QList<LsdvdTitle> multiTitles = lsdvd(multi.root);
    ASSERT_EQ(multiTitles.size(), 2);
    ASSERT_EQ(multiTitles[0].chapterSeconds, (QList<int>{3, 3, 3}));
    ASSERT_EQ(multiTitles[0].cellSeconds.size(), 6);
    // Title set 1's second chain spans fewer than 1000 sectors.
    const QList<QStringList> titleView = rowsOf(titles, false, {1});
    const QList<QStringList> chapterView = rowsOf(titles, true, {1});
    const QString videoTs = fixture().root + "/VIDEO_TS";
    ASSERT_FALSE(dvdImage().root.isEmpty()) << dvdImage().error.toStdString();
    const struct {
        QStringList args;
        QList<QStringList> expected;
    } cases[] = {
        {{fixture().root}, titleView},
        {{videoTs}, titleView},
        {{fixture().ifoPath(1), fixture().ifoPath(2)}, titleView},
        {{"--chapters", fixture().root}, chapterView},
        {{"--chapters", dvdImage().root}, chapterView},
        {{"--chapters", multi.root}, rowsOf(multiTitles, true)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QList<QStringList> rows = jobs(c.args);
        ASSERT_EQ(rows.size(), c.expected.size());
        for (int r = 0; r < rows.size(); ++r) {
            ASSERT_EQ(rows[r].size(), 8) << rows[r].join('|').toStdString();
            EXPECT_EQ(rows[r].mid(0, 3), c.expected[r]);
            EXPECT_TRUE(rows[r][3].endsWith("MB"));
            EXPECT_EQ(rows[r].mid(4), (QStringList{"Ready", "1", "0", "0"}));
        }
    }
}

// Title sets come in the disc's own numbering, as lsdvd reads them, however the file system
// lists the files: each set's audio language tells it apart.
TEST_F(DvdCliTest, TitleSetsFollowTheDiscsNumberingAsLsdvdReadsThem) {
    QString error;
    const QString root = makeManySetsDvd(path("many"), 12, &error);
    ASSERT_FALSE(root.isEmpty()) << error.toStdString();
    const QDir videoTs(root + "/VIDEO_TS");
    ASSERT_NE(videoTs.entryList({"VTS_*_0.IFO"}, QDir::Files, QDir::Unsorted),
              videoTs.entryList({"VTS_*_0.IFO"}, QDir::Files, QDir::Name))
        << "the file system lists the title sets in order: nothing to prove";
    const QList<LsdvdTitle> titles = lsdvd(root);
    ASSERT_EQ(titles.size(), 12);
    QStringList expected;
    for (int set = 1; set <= 12; ++set) {
        const LsdvdTitle& t = titles[set - 1];
        ASSERT_EQ(t.vts, set);
        ASSERT_EQ(t.audioLanguages, QStringList{kManySetsLanguages[set - 1]});
        const QByteArray code = t.audioLanguages[0].toLatin1();
        expected << QStringLiteral("%1\taudio\t0\t%2 AC-3 2ch (0x80)")
                        .arg(set)
                        .arg(QString::fromStdString(
                            orvex::ifoinfo::languageName(uint16_t(code[0] << 8 | code[1]))));
        expected << QStringLiteral("%1\tsubtitle\t0\tNo Subtitle").arg(set);
    }
    const CliRun streams = run({"--list-streams", root});
    ASSERT_EQ(streams.code, 0) << streams.err.toStdString();
    EXPECT_EQ(streams.out.split('\n', Qt::SkipEmptyParts), expected);
    const QList<QStringList> rows = jobs({root});
    ASSERT_EQ(rows.size(), 12);
    for (int r = 0; r < 12; ++r) {
        EXPECT_EQ(rows[r].mid(0, 3), rowsOf(titles, false)[r]);
    }
}

// The stream lists as lsdvd reads them, the choices shown in --list-jobs, and the command line
// mistakes that are refused before anything runs.
TEST_F(DvdCliTest, StreamListsChoicesAndMistakes) {
    const QList<LsdvdTitle> titles = lsdvd(fixture().root);
    ASSERT_EQ(titles.size(), 3);
    const CliRun streams = run({"--list-streams", fixture().root});
    ASSERT_EQ(streams.code, 0) << streams.err.toStdString();
    QStringList expected;
    for (const int set : {1, 2}) {
        const LsdvdTitle& t = titles[set == 1 ? 0 : 2];
        for (int i = 0; i < t.audio.size(); ++i) {
            expected << QStringLiteral("%1\taudio\t%2\t%3").arg(set).arg(i).arg(t.audio[i]);
        }
        expected << QStringLiteral("%1\tsubtitle\t0\tNo Subtitle").arg(set);
        for (int i = 0; i < t.subtitles.size(); ++i) {
            expected
                << QStringLiteral("%1\tsubtitle\t%2\t%3").arg(set).arg(i + 1).arg(t.subtitles[i]);
        }
    }
    QStringList lines = streams.out.split('\n', Qt::SkipEmptyParts);
    for (QString& line : lines) {
        line = line.section(" (", 0, 0);  // the stream id is checked where it is used
    }
    EXPECT_EQ(lines, expected);

    const QList<QStringList> rows =
        jobs({"--chapters", "--rows", "1,3-4", "--audio", "3=1", "--subtitle=3=1", fixture().root});
    ASSERT_EQ(rows.size(), 6);
    QStringList marks;
    for (const QStringList& r : rows) {
        marks << r.mid(5).join(',');
    }
    EXPECT_EQ(marks, (QStringList{"1,0,0", "0,0,0", "1,1,1", "1,0,0", "0,0,0", "0,0,0"}));
    // The commands printed are those of the rows a run would convert.
    const CliRun commands = run({"--print-commands", "--chapters", "--rows", "1,3", "-p", "27",
                                 "-o", path("out"), fixture().root});
    ASSERT_EQ(commands.code, 0) << commands.err.toStdString();
    const QStringList printed = commands.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(printed.size(), 2) << commands.out.toStdString();
    EXPECT_TRUE(printed[0].contains("Title_01.mp4")) << printed[0].toStdString();
    EXPECT_TRUE(printed[1].contains("Chapter_02.mp4")) << printed[1].toStdString();

    const struct {
        QStringList args;
        int code;
        const char* says;
    } mistakes[] = {
        {{"--rows", "3", fixture().root}, 2, "no row 3"},
        {{"--rows", "0", fixture().root}, 2, "--rows"},
        {{"--audio", "2=1", fixture().root}, 2, "row 2 has items 0..0"},
        {{"--subtitle", "1=2", fixture().root}, 2, "items 0..1"},
        {{"--audio", "1", fixture().root}, 2, "ROW=ITEM"},
        {{fixture().root, fixture().ifoPath(1)}, 2, "one DVD folder or image"},
        {{path("config")}, 1, "orvex-dvd-cli: Can't find DVD disc."},
        {{fixture().root + "/VIDEO_TS/VIDEO_TS.IFO"},
         1,
         "orvex-dvd-cli: The selected IFO File is invalid"},
    };
    for (const auto& m : mistakes) {
        SCOPED_TRACE(m.args.join(' ').toStdString());
        const CliRun r = run(QStringList{"--list-jobs"} + m.args);
        EXPECT_EQ(r.code, m.code);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(m.says)) << r.err.toStdString();
    }
    const CliRun video = run({"--chapters", fixture().root}, binDir() + "/orvex-cli");
    EXPECT_EQ(video.code, 2);
    EXPECT_TRUE(video.err.contains("DVD edition")) << video.err.toStdString();
}

// A disc whose files cannot be read: each is named with what is wrong with it, and a VOB that
// is not a regular file fails its job at once instead of being waited on for good.
TEST_F(DvdCliTest, UnreadableFilesAreNamedWithTheirReason) {
    const QString disc = path("damaged");
    ASSERT_TRUE(copyDvdFixture(disc));
    const QString videoTs = disc + "/VIDEO_TS/";
    for (const char* set : {"01", "02"}) {
        ASSERT_TRUE(QFile(videoTs + "VTS_" + set + "_0.IFO").resize(100));
        ASSERT_TRUE(QFile::remove(videoTs + "VTS_" + set + "_0.BUP"));
    }
    const CliRun damaged = run({"--list-jobs", disc});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_EQ(damaged.err.toStdString(),
              ("orvex-dvd-cli: " + videoTs +
               "VTS_01_0.IFO cannot be read: it is damaged and has no backup VTS_01_0.BUP\n"
               "orvex-dvd-cli: " +
               videoTs +
               "VTS_02_0.IFO cannot be read: it is damaged and has no backup VTS_02_0.BUP\n"
               "orvex-dvd-cli: no title set of the DVD could be read\n")
                  .toStdString());

    const QString fifoDisc = path("fifo");
    ASSERT_TRUE(copyDvdFixture(fifoDisc));
    const QString vob = fifoDisc + "/VIDEO_TS/VTS_02_1.VOB";
    ASSERT_TRUE(QFile::remove(vob));
    ASSERT_EQ(::mkfifo(QFile::encodeName(vob).constData(), 0600), 0);
    const CliRun fifo = run({"--rows", "2", "-p", "27", "-q", "-o", path("out"), fifoDisc});
    EXPECT_EQ(fifo.code, 1);
    EXPECT_TRUE(fifo.err.contains("VTS_02_1.VOB' cannot be read: it is not a regular file"))
        << fifo.err.toStdString();
}

// Each title set keeps its shape (4:3, 16:9) in the profile's 352x288 frame, with bars,
// unless --stretch.
TEST_F(DvdCliTest, TitlesKeepTheirShapeUnlessStretched) {
    const struct {
        bool stretch;
        QStringList filters;  // per title
    } cases[] = {
        {false,
         {"fps=25,scale=352:264,pad=352:288:0:12 ", "fps=25,scale=352:198,pad=352:288:0:44 "}},
        {true, {"fps=25 ", "fps=25 "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stretch ? "--stretch" : "kept");
        QStringList args{"-p", "118", "--print-commands", fixture().root};
        if (c.stretch) {
            args.prepend("--stretch");
        }
        const CliRun r = run(args);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), c.filters.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].contains(" -aspect 1.2222 -s 352x288 -vf " + c.filters[i]))
                << lines[i].toStdString();
        }
    }
}

// A title and a chapter converted with the second audio track and the subtitle burnt in; the
// rows left unticked produce nothing.
TEST_F(DvdCliTest, ConvertsTickedTitleAndChapterWithChosenStreams) {
    const QString out = path("out");
    const CliRun r =
        run({"--chapters", "--rows", "1,3", "--audio", "1=1", "--subtitle", "1=1", "--audio", "3=1",
             "--subtitle", "3=1", "-p", "27", "--size", "2", "-q", "-o", out, fixture().root});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name),
              (QStringList{"Chapter_02.mp4", "Title_01.mp4"}));
    const QList<LsdvdTitle> titles = lsdvd(fixture().root);
    ASSERT_FALSE(titles.isEmpty());
    const struct {
        const char* file;
        int seconds;
        double vobSeconds;  // where the output's second 1.5 lies in the title set's VOB
    } outputs[] = {{"Title_01.mp4", titles[0].seconds, 1.5},
                   {"Chapter_02.mp4", titles[0].cellSeconds[1], 3.0 + 1.5}};
    for (const auto& o : outputs) {
        SCOPED_TRACE(o.file);
        const QString file = out + '/' + o.file;
        EXPECT_NEAR(durationOf(file), o.seconds, 0.5);
        EXPECT_NEAR(toneHz(file), kFixtureToneHz[1], 20);
        // The VOB's own picture has no subtitle: the text shows at the bottom of the output.
        const QByteArray converted = greyFrame(file, 1.5);
        const QByteArray source = greyFrame(fixture().vobPath(1), o.vobSeconds);
        const int bottom = changedPixels(converted, source, 180, 240);
        const int top = changedPixels(converted, source, 0, 180);
        ASSERT_GE(top, 0);
        EXPECT_GT(bottom, 150);
        EXPECT_GT(bottom, 4 * top) << "top " << top;
    }
}

// A killed run's rows come back with --resume, as their title sets read now: the finished row
// is not converted again, the unticked ones neither, the chosen audio track is kept, and a title
// set that is gone is said while the rest converts.
TEST_F(DvdCliTest, ResumeTakesUpWhatAKilledRunLeft) {
    ASSERT_TRUE(copyDvdFixture(path("kept")));
    ASSERT_TRUE(copyDvdFixture(path("gone")));
    QByteArray script = R"sh(#!/bin/sh
case " $* " in *Chapter_02*) : > 'HUNG'; exec sleep 60 ;; esac
exec ffmpeg "$@"
)sh";
    ASSERT_TRUE(writeScript(path("ffmpeg"), script.replace("HUNG", path("hung").toUtf8())));
    QProcessEnvironment env = environment();
    env.insert("ORVEX_FFMPEG", path("ffmpeg"));
    QProcess killed;
    killed.setProcessEnvironment(env);
    // Rows: kept's Title_01 and its chapters 1-3, then gone's Title_02 and its chapter; one job
    // at a time, so chapter 1 has finished when chapter 2 hangs.
    killed.start(path("orvex-dvd-cli"),
                 {"-q", "-j", "1", "-p", "27", "--size", "2", "--chapters", "--rows", "2,3,6",
                  "--audio", "3=1", "-o", path("out"), path("kept/VIDEO_TS/VTS_01_0.IFO"),
                  path("gone/VIDEO_TS/VTS_02_0.IFO")});
    for (int i = 0; i < 600 && !QFile::exists(path("hung")); ++i) {
        killed.waitForFinished(100);
    }
    ASSERT_TRUE(QFile::exists(path("hung"))) << killed.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
    ASSERT_TRUE(killed.waitForFinished(30000));
    QDir(path("gone")).removeRecursively();

    const CliRun resumed = run({"--resume"});
    EXPECT_EQ(resumed.code, 0) << resumed.err.toStdString();
    for (const QString& said :
         {path("gone/VIDEO_TS/VTS_02_0.IFO") + " was not restored: it is no longer there.",
          QString("Summary: 1 finished, 0 failed")}) {
        EXPECT_TRUE(resumed.err.contains(said)) << resumed.err.toStdString();
    }
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"Chapter_01.mp4", "Chapter_02.mp4"}));
    EXPECT_NEAR(toneHz(path("out/Chapter_02.mp4")), kFixtureToneHz[1], 20);
    EXPECT_EQ(run({"--resume"}).code, 1) << "nothing is left";
}

}  // namespace
