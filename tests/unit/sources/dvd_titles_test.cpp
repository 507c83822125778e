#include "core/sources/dvd_titles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <cstdint>

#include "../../support/fake_machine.h"
#include "../../support/fake_user_interface.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_session.h"
#include "core/engine/time_value.h"

using namespace orvex::test;

namespace {

using Cell = TitleSetData::Cell;
using Chain = TitleSetData::Chain;
using Program = TitleSetData::Program;

// Title sets by path; any other path cannot be opened.
class FakeReader : public TitleSetReader {
  public:
    explicit FakeReader(QMap<QString, TitleSetData> sets) : sets_(std::move(sets)) {}
    QList<TitleSetRead> readAll(const QStringList& paths) override {
        QList<TitleSetRead> reads;
        for (const QString& path : paths) {
            if (sets_.contains(path)) {
                reads.append({path, sets_.value(path), {}});
            } else {
                reads.append({path, std::nullopt, QStringLiteral("No such file or directory")});
            }
        }
        return reads;
    }

  private:
    QMap<QString, TitleSetData> sets_;
};

// A cell of `seconds` spanning `sectors` from `first`.
Cell cell(qint32 first, qint32 sectors, qint32 seconds) {
    return {first, first + sectors, seconds};
}

// Set 1: chains of 0 s, 0:00:01 over 1000 sectors, 999 sectors, a time but no cells, and a
// title of cells 60 s, 5 s (too short in sectors) and 90 s.
TitleSetData firstSet() {
    TitleSetData d;
    d.videoDescription = QStringLiteral("MPEG-2 720x576 PAL 4:3");
    d.audioNames = QStringList{"English AC-3 2ch (0x80)", "Francais MPEG-1 2ch (0xc0)"};
    d.subtitleNames = QStringList{"Deutsch (0x20)"};
    d.chains = {
        Chain{0, {cell(0, 5000, 0)}, {}},
        Chain{1, {cell(100, 1000, 1)}, {}},
        Chain{1, {cell(200, 999, 1)}, {}},
        Chain{7, {}, {}},
        // One program per cell, as the IFO reader says when the map says so.
        Chain{155,
              {cell(3000, 2000, 60), cell(5000, 500, 5), cell(5500, 9000, 90)},
              {Program{0, 1, 60}, Program{1, 1, 5}, Program{2, 1, 90}}},
    };
    return d;
}

// Set 2: no audio, no subtitles, a one-blank video description, two titles.
TitleSetData secondSet() {
    TitleSetData d;
    d.videoDescription = QStringLiteral("MPEG-2 720x480");
    d.chains = {Chain{4, {cell(0, 1500, 4)}, {}}, Chain{3, {cell(2000, 1200, 3)}, {}}};
    return d;
}

// Set 4: programs of several cells, as authored discs have them. Program 1: two cells, each
// too short in sectors but not together; program 2: one cell too short; program 3: two cells.
TitleSetData multiCellSet() {
    TitleSetData d;
    d.videoDescription = QStringLiteral("MPEG-2 720x576 PAL 16:9");
    d.chains = {Chain{100,
                      {cell(0, 600, 20), cell(601, 600, 25), cell(1202, 400, 10),
                       cell(1603, 1500, 30), cell(3104, 500, 15)},
                      {Program{0, 2, 45}, Program{2, 1, 10}, Program{3, 2, 45}}}};
    return d;
}

TitleSetData equalSet() {
    TitleSetData d = secondSet();
    d.chains = {Chain{4, {cell(0, 1500, 4)}, {}}, Chain{5, {cell(2000, 1500, 5)}, {}}};
    return d;
}

// Set 5: sector numbers of a damaged file that, read as the disc's unsigned ones, end each title
// before it starts.
TitleSetData damagedSet() {
    TitleSetData d = secondSet();
    d.chains = {Chain{10, {Cell{INT32_MIN, 100, 10}}, {}},
                Chain{10, {Cell{-2, INT32_MAX, 10}}, {}}};
    return d;
}

const QString kSet1 = QStringLiteral("/disc/VIDEO_TS/VTS_01_0.IFO");
const QString kSet2 = QStringLiteral("/disc/VIDEO_TS/VTS_02_0.IFO");
// Set 3: two titles of the same span.
const QString kSet3 = QStringLiteral("/disc/VIDEO_TS/VTS_03_0.IFO");
// Set 4: programs of several cells.
const QString kSet4 = QStringLiteral("/disc/VIDEO_TS/VTS_04_0.IFO");
const QString kSet5 = QStringLiteral("/disc/VIDEO_TS/VTS_05_0.IFO");

class DvdTitlesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(copyProfilesPop(dir_.path()));
        session_ = makeTestSession(
            dir_.path(), QStringLiteral("orvex-dvd"), ui_, machine_, nullptr,
            std::make_unique<FakeReader>(QMap<QString, TitleSetData>{{kSet1, firstSet()},
                                                                     {kSet2, secondSet()},
                                                                     {kSet3, equalSet()},
                                                                     {kSet4, multiCellSet()},
                                                                     {kSet5, damagedSet()}}));
        session_->guards().setConvertingFlag([this] { return converting_; });
        session_->loadSettings();
    }
    DvdTitles& titles() { return session_->dvdTitles(); }
    JobList& jobs() { return session_->jobs(); }
    QStringList captions() {
        QStringList c;
        for (int r = 0; r < jobs().rowCount(); ++r) {
            c << jobs().caption(r);
        }
        return c;
    }
    QList<bool> checks() {
        QList<bool> c;
        for (int r = 0; r < jobs().rowCount(); ++r) {
            c << jobs().isChecked(r);
        }
        return c;
    }
    void click(int row) {
        jobs().setSelection({row});
        titles().lvClick();
    }

    QTemporaryDir dir_;
    FakeUserInterface ui_;
    FakeMachine machine_;
    std::unique_ptr<Session> session_;
    bool converting_ = false;
};

TEST(DvdTitlesTexts, StreamNumbersPictureSizesAndTwoDigits) {
    const struct {
        const char* description;
        const char* stream;
    } streams[] = {{"English AC-3 6ch (0x80)", "0x80"},
                   {"Deutsch (0x21) (0x22)", "0x21"},
                   {"No Subtitle", "0"},
                   {"(0x8)", "(0x8"},
                   {"x)", "x"},
                   {"", "0"}};
    for (const auto& s : streams) {
        EXPECT_EQ(DvdTitles::streamNumberOf(s.description), s.stream) << s.description;
    }
    // The size, and the shape and rate the IFO's 4:3/16:9 and PAL/NTSC flags give.
    const struct {
        const char* description;
        const char* size;
        double aspect;
        const char* rate;
    } pictures[] = {{"MPEG-2 720x576 PAL 16:9", "720x576", 16.0 / 9, "25"},
                    {"MPEG-2 720x480 NTSC 4:3", "720x480", 4.0 / 3, "30000/1001"},
                    {"MPEG-1 352x240 NTSC ?", "352x240", 0, "30000/1001"},
                    {"MPEG-2 720x480", "", 0, ""},
                    {"", "", 0, ""}};
    for (const auto& p : pictures) {
        EXPECT_EQ(DvdTitles::pictureSizeOf(p.description), p.size) << p.description;
        const PictureFacts facts = DvdTitles::pictureOf(p.description);
        EXPECT_DOUBLE_EQ(facts.displayAspect, p.aspect) << p.description;
        EXPECT_EQ(facts.frameRate.text(), p.rate) << p.description;
    }
    EXPECT_EQ(DvdTitles::twoDigits(1), "01");
    EXPECT_EQ(DvdTitles::twoDigits(9), "09");
    EXPECT_EQ(DvdTitles::twoDigits(10), "10");
    EXPECT_EQ(DvdTitles::twoDigits(123), "123");
}

// Rows, their records and their texts, in both views, with the chains and cells that give no
// row left out and captions counted by row and by cell position.
TEST_F(DvdTitlesTest, RowsOfBothViews) {
    struct Row {
        const char* caption;
        qint32 start, end, seconds, chapterStart, chapterEnd;
        const char* size;
        const char* audio;
    };
    const Row titleRows[] = {
        {"Title_01", 100, 1100, 1, 0, 1, "720x576", "0x80"},
        {"Title_02", 3000, 14500, 155, 0, 155, "720x576", "0x80"},
        {"Title_03", 0, 1500, 4, 0, 4, "", "0"},
        {"Title_04", 2000, 3200, 3, 0, 3, "", "0"},
    };
    const Row chapterRows[] = {
        {"Title_01", 100, 1100, 1, 0, 1, "720x576", "0x80"},
        {"  Chapter_01", 100, 1100, 1, 0, 1, "720x576", "0x80"},
        {"Title_03", 3000, 14500, 155, 0, 155, "720x576", "0x80"},
        {"  Chapter_01", 3000, 5000, 60, 0, 60, "720x576", "0x80"},
        {"  Chapter_03", 5500, 14500, 90, 65, 155, "720x576", "0x80"},
        {"Title_06", 0, 1500, 4, 0, 4, "", "0"},
        {"  Chapter_01", 0, 1500, 4, 0, 4, "", "0"},
        {"Title_08", 2000, 3200, 3, 0, 3, "", "0"},
        {"  Chapter_01", 2000, 3200, 3, 0, 3, "", "0"},
    };
    ASSERT_TRUE(titles().addIfoFiles({kSet1, kSet2}));
    for (int view = 0; view < 2; ++view) {
        SCOPED_TRACE(view == 0 ? "title view" : "chapter view");
        const auto* expected = view == 0 ? titleRows : chapterRows;
        const int count = view == 0 ? 4 : 9;
        ASSERT_EQ(jobs().rowCount(), count) << captions().join('|').toStdString();
        for (int r = 0; r < count; ++r) {
            const Row& e = expected[r];
            SCOPED_TRACE(r);
            const TConvertInfo* info = jobs().convertInfo(r);
            ASSERT_NE(info, nullptr);
            EXPECT_EQ(jobs().caption(r), e.caption);
            EXPECT_EQ(info->startSector, e.start);
            EXPECT_EQ(info->endSector, e.end);
            EXPECT_EQ(info->titleSeconds, e.seconds);
            EXPECT_EQ(info->chapterStart, e.chapterStart);
            EXPECT_EQ(info->chapterEnd, e.chapterEnd);
            EXPECT_EQ(info->audioStream, e.audio);
            EXPECT_EQ(info->subtitleStream, "0");
            EXPECT_EQ(info->ifoPath, r < count / 2 + (view == 0 ? 0 : 1) ? kSet1 : kSet2);
            EXPECT_EQ(jobs().subItem(r, JobList::SizeColumn), e.size);
            EXPECT_EQ(jobs().jobInfo(r).duration, timeValueOfSeconds(e.seconds));
            EXPECT_EQ(jobs().subItem(r, JobList::TimeColumn), timeValueOfSeconds(e.seconds));
            EXPECT_TRUE(jobs().subItem(r, JobList::OutputSizeColumn).endsWith("MB"));
            EXPECT_EQ(jobs().state(r).kind, RowState::Ready);
            EXPECT_TRUE(jobs().isChecked(r));
        }
        // The largest span is selected and its streams shown.
        EXPECT_EQ(jobs().selectedRows(), QList<int>{view == 0 ? 1 : 2});
        EXPECT_EQ(titles().audioBox().items(), firstSet().audioNames);
        titles().switchView();
    }
    EXPECT_TRUE(titles().titleView());
    ASSERT_TRUE(titles().addIfoFiles({kSet3}));
    EXPECT_EQ(jobs().selectedRows(), QList<int>{0}) << "the first of equal spans";
}

// A chapter row is a program of the chain: its cells' sectors and times together, the 1000-sector
// rule on the program, its start after the earlier programs (those passed over too), numbered
// by its place in the chain.
TEST_F(DvdTitlesTest, ChaptersOfSeveralCellsAreOneRowEach) {
    struct Row {
        const char* caption;
        qint32 start, end, seconds, chapterStart, chapterEnd;
    };
    const Row expected[] = {
        {"Title_01", 0, 3604, 100, 0, 100},
        {"  Chapter_01", 0, 1201, 45, 0, 45},
        {"  Chapter_03", 1603, 3604, 45, 55, 100},
    };
    titles().switchView();
    ASSERT_TRUE(titles().addIfoFiles({kSet4}));
    ASSERT_EQ(jobs().rowCount(), 3) << captions().join('|').toStdString();
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        const TConvertInfo* info = jobs().convertInfo(r);
        EXPECT_EQ(jobs().caption(r), expected[r].caption);
        EXPECT_EQ(info->startSector, expected[r].start);
        EXPECT_EQ(info->endSector, expected[r].end);
        EXPECT_EQ(info->titleSeconds, expected[r].seconds);
        EXPECT_EQ(info->chapterStart, expected[r].chapterStart);
        EXPECT_EQ(info->chapterEnd, expected[r].chapterEnd);
        EXPECT_EQ(jobs().subItem(r, JobList::TimeColumn), timeValueOfSeconds(expected[r].seconds));
    }
}

// Each row shows its own title set's streams and its own choice; a choice sets the row's stream
// number, and a title set without audio leaves the row on "0".
TEST_F(DvdTitlesTest, StreamBoxesFollowTheSelectedRow) {
    ASSERT_TRUE(titles().addIfoFiles({kSet1, kSet2}));
    ChoiceList& audio = titles().audioBox();
    ChoiceList& subtitle = titles().subtitleBox();
    click(1);
    audio.userSelect(1);
    subtitle.userSelect(1);
    EXPECT_EQ(jobs().convertInfo(1)->audioStream, "0xc0");
    EXPECT_EQ(jobs().convertInfo(1)->subtitleStream, "0x20");

    click(2);  // the second title set: no streams at all
    EXPECT_TRUE(audio.items().isEmpty());
    EXPECT_EQ(subtitle.items(), QStringList{"No Subtitle"});
    EXPECT_EQ(subtitle.itemIndex(), 0);
    converting_ = true;  // a list click during a run changes nothing
    click(0);
    EXPECT_TRUE(audio.items().isEmpty());
    converting_ = false;

    click(0);  // same title set, its own choice
    EXPECT_EQ(audio.itemIndex(), 0);
    EXPECT_EQ(jobs().convertInfo(0)->audioStream, "0x80");

    click(1);  // the choice is shown again
    EXPECT_EQ(audio.itemIndex(), 1);
    EXPECT_EQ(subtitle.itemIndex(), 1);
    EXPECT_EQ(titles().audioChoice(1), 1);
    subtitle.userSelect(0);  // "No Subtitle" has no ")"
    EXPECT_EQ(jobs().convertInfo(1)->subtitleStream, "0");

    // A reload starts every choice afresh.
    ASSERT_TRUE(titles().addIfoFiles({kSet1}));
    EXPECT_EQ(titles().audioChoice(1), 0);
    EXPECT_EQ(jobs().convertInfo(1)->audioStream, "0x80");
}

// Each view keeps its own check marks across switches; stream choices start afresh.
TEST_F(DvdTitlesTest, ViewSwitchKeepsEachViewsCheckMarks) {
    ASSERT_TRUE(titles().addIfoFiles({kSet1, kSet2}));
    jobs().setChecked(0, false);
    jobs().setChecked(3, false);
    click(1);
    titles().audioBox().userSelect(1);
    titles().switchView();
    EXPECT_EQ(checks(), QList<bool>(9, true));
    jobs().setChecked(4, false);  // a key press: no click follows
    titles().switchView();
    EXPECT_EQ(checks(), (QList<bool>{false, true, true, false}));
    EXPECT_EQ(titles().audioChoice(1), 0);
    EXPECT_EQ(jobs().convertInfo(1)->audioStream, "0x80");
    titles().switchView();
    QList<bool> chapters(9, true);
    chapters[4] = false;
    EXPECT_EQ(checks(), chapters);

    titles().setAllChecked(false);
    titles().switchView();
    titles().switchView();
    EXPECT_EQ(checks(), QList<bool>(9, false));

    converting_ = true;
    titles().switchView();
    EXPECT_FALSE(titles().titleView()) << "the view switch is refused during a run";
    EXPECT_EQ(ui_.warnings, QStringList{"Please first stop convert!"});
}

// Add IFO: a file that gives no row stops the command with its message when nothing was
// read before it; a cancelled dialog leaves the rows as they were.
TEST_F(DvdTitlesTest, AddIfoMessagesAndCancel) {
    ui_.ifoFilesToChoose = QStringList{kSet2};
    titles().openIfo();
    ASSERT_EQ(jobs().rowCount(), 2);
    ui_.ifoFilesToChoose.clear();
    titles().openIfo();
    EXPECT_EQ(jobs().rowCount(), 2);

    QStringList problems;
    QObject::connect(session_.get(), &Session::problem,
                     [&problems](const QString& text) { problems << text; });
    ui_.ifoFilesToChoose = QStringList{"/nowhere/VTS_03_0.IFO", kSet2};
    titles().openIfo();
    EXPECT_EQ(jobs().rowCount(), 0);
    EXPECT_EQ(ui_.informations, QStringList{DvdTitles::kInvalidIfoText});
    EXPECT_EQ(problems,
              QStringList{"/nowhere/VTS_03_0.IFO cannot be read: No such file or directory"});

    ui_.informations.clear();
    ASSERT_TRUE(titles().addIfoFiles({kSet2, "/nowhere/VTS_03_0.IFO"}));
    EXPECT_EQ(jobs().rowCount(), 2);
    EXPECT_EQ(titles().titleSetCount(), 2);
    EXPECT_TRUE(ui_.informations.isEmpty());
}

// A title that ends before it starts makes no row (and no overflow on the way).
TEST_F(DvdTitlesTest, TitlesEndingBeforeTheyStartGiveNoRow) {
    EXPECT_FALSE(titles().addIfoFiles({kSet5}));
    EXPECT_EQ(jobs().rowCount(), 0);
}

// Remove keeps each row's title set and choices: the rows after the removed ones still show
// their own streams.
TEST_F(DvdTitlesTest, RemoveKeepsRowsWithTheirTitleSetsAndChoices) {
    ASSERT_TRUE(titles().addIfoFiles({kSet2, kSet1}));  // rows: set 2, set 2, set 1, set 1
    click(3);
    titles().audioBox().userSelect(1);
    jobs().setSelection({0});
    titles().remove();
    ASSERT_EQ(jobs().rowCount(), 3);
    EXPECT_EQ(titles().titleSetOfRow(0)->ifoPath, kSet2);
    EXPECT_EQ(titles().titleSetOfRow(1)->ifoPath, kSet1);
    click(2);
    EXPECT_EQ(titles().audioBox().itemIndex(), 1);
    EXPECT_EQ(jobs().convertInfo(2)->audioStream, "0xc0");
    EXPECT_EQ(titles().titleChecks()->size(), 3u);
}

// Restored rows keep the names, ticks and streams they had, also where two titles share their
// sectors or a title set before them is gone; the finished row stays out.
TEST_F(DvdTitlesTest, RestoredRowsKeepTheirNamesTicksAndStreams) {
    const QString a = dir_.filePath("A.IFO");
    const QString b = dir_.filePath("B.IFO");
    for (const QString& f : {a, b}) {
        ASSERT_TRUE(QFile(f).open(QIODevice::WriteOnly));
    }
    TitleSetData twins = secondSet();
    twins.chains = {Chain{4, {cell(0, 1500, 4)}, {}}, Chain{4, {cell(0, 1500, 4)}, {}}};
    FakeUserInterface ui;
    auto session = makeTestSession(
        dir_.path(), QStringLiteral("orvex-dvd"), ui, machine_, nullptr,
        std::make_unique<FakeReader>(QMap<QString, TitleSetData>{{a, twins}, {b, firstSet()}}));
    session->loadSettings();
    DvdTitles& t = session->dvdTitles();
    JobList& j = session->jobs();
    ASSERT_TRUE(t.addIfoFiles({a, b}));
    ASSERT_EQ(j.rowCount(), 4);  // a: Title_01, Title_02 of the same cells; b: Title_03, Title_04
    j.setSelection({3});
    t.lvClick();
    t.audioBox().userSelect(1);
    j.setChecked(2, false);
    JobList::Row changed = j.row(3);  // a title b no longer has
    std::get<TConvertInfo>(changed.source).startSector += 1;
    const std::vector<JobList::Row> saved{j.row(1), j.row(2), j.row(3), changed};  // 1 finished
    QStringList problems;
    QObject::connect(&t, &DvdTitles::problem, [&](const QString& p) { problems << p; });
    for (const bool gone : {false, true}) {
        SCOPED_TRACE(gone ? "a is gone" : "both there");
        problems.clear();
        if (gone) {
            QFile::remove(a);
        }
        EXPECT_EQ(t.restoreRows(saved), gone ? 2 : 3);
        QStringList captions;
        QList<bool> checks;
        for (int r = 0; r < j.rowCount(); ++r) {
            captions << j.caption(r);
            checks << j.isChecked(r);
        }
        EXPECT_EQ(captions, gone ? QStringList({"Title_03", "Title_04"})
                                 : QStringList({"Title_02", "Title_03", "Title_04"}));
        EXPECT_EQ(checks, gone ? QList<bool>({false, true}) : QList<bool>({true, false, true}));
        EXPECT_EQ(j.row(j.rowCount() - 1).audioChoice, 1);
        EXPECT_EQ(j.convertInfo(j.rowCount() - 1)->audioStream, "0xc0");
        const QString lost = b + ": 1 of its rows were not restored: the title set has changed.";
        EXPECT_EQ(problems,
                  gone ? QStringList({a + " was not restored: it is no longer there.", lost})
                       : QStringList(lost));
    }
}

}  // namespace
