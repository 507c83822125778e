#include "core/shell/command_dispatch.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "../../support/fake_machine.h"
#include "../../support/fake_user_interface.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_session.h"
#include "core/shell/help_links.h"

using namespace orvex::test;

namespace {

struct FakeWindow : WindowShell {
    void popUpMenu(ShellMenu menu, QPoint offset) override { menus.append({menu, offset}); }
    void requestClose() override { ++closeRequests; }
    void showAbout() override { ++abouts; }
    void showActivity() override { ++activities; }
    QList<QPair<ShellMenu, QPoint>> menus;
    int closeRequests = 0;
    int abouts = 0;
    int activities = 0;
};

class CommandDispatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(copyProfilesPop(dir_.path()));
        open("orvex");
    }
    void open(const QString& program) {
        dispatch_.reset();
        session_ = makeTestSession(dir_.path(), program, ui_, machine_);
        session_->guards().setPlayingFlag([this] { return playing_; });
        session_->guards().setConvertingFlag([this] { return converting_; });
        dispatch_ = std::make_unique<CommandDispatch>(*session_, window_);
    }

    QTemporaryDir dir_;
    FakeUserInterface ui_;
    FakeMachine machine_;
    FakeWindow window_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<CommandDispatch> dispatch_;
    bool playing_ = false;
    bool converting_ = false;
};

TEST_F(CommandDispatchTest, NamesMatchExactlyInTheTablesOrder) {
    EXPECT_EQ(dispatch_->skinCommandNames(),
              QStringList({"profiles", "openfiles", "chapter", "ifoopen", "dvdopen", "openfolder",
                           "converter", "remove", "clear", "stopconverter", "browse", "open",
                           "help", "file", "dvdfile", "play", "stopplay", "pause", "settings"}));
    for (const char* name : {"Settings", "SETTINGS", "settings ", "", "play_bar", "close"}) {
        EXPECT_FALSE(dispatch_->skinClick(QString::fromLatin1(name))) << name;
    }
    EXPECT_TRUE(ui_.shownSettings.isEmpty());
    EXPECT_TRUE(dispatch_->skinClick("settings"));
    EXPECT_EQ(ui_.shownSettings.size(), 1);
}

// Which warning each command gives while a preview plays, while a run is under way, and
// while both are (the command's own order decides which comes first).
TEST_F(CommandDispatchTest, EachCommandsGuardsAndTheirOrder) {
    const QString play = "Please first stop play!";
    const QString convert = "Please first stop convert!";
    struct Case {
        const char* name;
        QString whilePlaying;
        QString whileConverting;
        QString whileBoth;
    };
    const Case cases[] = {
        {"profiles", "", convert, convert},   {"openfiles", "", convert, convert},
        {"ifoopen", play, convert, convert},  {"dvdopen", play, convert, convert},
        {"openfolder", "", convert, convert}, {"converter", play, convert, play},
        {"remove", play, convert, play},      {"clear", play, convert, play},
        {"play", "", convert, convert},       {"chapter", play, convert, convert},
        {"stopconverter", "", "", ""},        {"open", "", "", ""},
    };
    // The DVD edition's Remove and Clear act on its titles, with the same guards.
    for (const char* program : {"orvex", "orvex-dvd"}) {
        open(QString::fromLatin1(program));
        JobList::Row row;
        row.caption = "a";
        row.selected = true;
        session_->jobs().addRow(row);
        for (const Case& c : cases) {
            const QString expected[] = {c.whilePlaying, c.whileConverting, c.whileBoth};
            for (int k = 0; k < 3; ++k) {
                playing_ = k != 1;
                converting_ = k != 0;
                ui_.warnings.clear();
                dispatch_->skinClick(QString::fromLatin1(c.name));
                EXPECT_EQ(ui_.warnings,
                          expected[k].isEmpty() ? QStringList() : QStringList{expected[k]})
                    << program << " " << c.name << " case " << k;
            }
        }
        EXPECT_EQ(session_->jobs().rowCount(), 1) << "nothing refused was done";
        EXPECT_TRUE(ui_.confirmations.isEmpty());
    }
}

TEST_F(CommandDispatchTest, MenusOpenAtTheBrandsPlaces) {
    dispatch_->skinClick("file");
    dispatch_->skinClick("dvdfile");
    dispatch_->skinClick("help");
    open("Orvex-KAMZU");
    dispatch_->skinClick("file");
    dispatch_->skinClick("help");
    ASSERT_EQ(window_.menus.size(), 5);
    EXPECT_EQ(window_.menus[0], qMakePair(ShellMenu::File, QPoint(76, 54)));
    EXPECT_EQ(window_.menus[1], qMakePair(ShellMenu::Dvd, QPoint(76, 54)));
    EXPECT_EQ(window_.menus[2], qMakePair(ShellMenu::Help, QPoint(362, 54)));
    EXPECT_EQ(window_.menus[3], qMakePair(ShellMenu::File, QPoint(85, 64)));
    EXPECT_EQ(window_.menus[4], qMakePair(ShellMenu::Help, QPoint(366, 64)));

    auto captions = [](ShellMenu menu) {
        QStringList list;
        for (const MenuItem& item : shell_menus::itemsOf(menu)) {
            list << item.caption;
        }
        return list;
    };
    EXPECT_EQ(captions(ShellMenu::File),
              QStringList({"Add Files", "Add Folder", "-", "Remove", "Clear", "-", "Convert",
                           "Stop", "Activity", "-", "Exit"}));
    EXPECT_EQ(captions(ShellMenu::Dvd),
              QStringList({"Add DVD", "Add DVD image", "Add IFO", "-", "Select All", "Unselect ALL",
                           "-", "Convert", "Stop", "Activity", "-", "Exit"}));
    EXPECT_EQ(captions(ShellMenu::Help),
              QStringList({"Help", "Support", "Our Website", "Contact us", "-", "About"}));
    dispatch_->menuCommand(MenuCommand::Exit);
    EXPECT_EQ(window_.closeRequests, 1) << "Exit goes through the close request";
}

TEST_F(CommandDispatchTest, HelpPagesAndAboutTextsFollowTheName) {
    struct Case {
        const char* program;
        bool kamzuSite;
        bool kamzuMaker;
        const char* title;
    };
    const Case cases[] = {
        {"orvex", false, false, "orvex"},
        {"my-KAMZU-tool", true, false, "my-KAMZU-tool"},
        {"Kamzu Converter.exe", true, true, "Kamzu Converter"},
        {"kamzu.exe", true, false, "kamzu"},
        {"orvex.bin", false, false, "orvex.bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        open(QString::fromLatin1(c.program));
        machine_.urls.clear();
        for (MenuCommand m : {MenuCommand::Help, MenuCommand::Support, MenuCommand::Website,
                              MenuCommand::Contact}) {
            dispatch_->menuCommand(m);
        }
        const QString site =
            c.kamzuSite ? "https://www.kamzu-video.example" : "https://www.orvex-video.example";
        const QString contact = site + (c.kamzuSite ? "/Contact.html" : "/contact.php");
        EXPECT_EQ(machine_.urls, QStringList({site, contact, site, contact}));
        EXPECT_EQ(help_links::makerLineOf(c.program).contains("Kamzu"), c.kamzuMaker);
        EXPECT_EQ(help_links::aboutTitleOf(c.program), c.title);
    }
    EXPECT_EQ(help_links::aboutContactPage(), "https://www.orvex-video.example/contact.php");
    dispatch_->menuCommand(MenuCommand::About);
    EXPECT_EQ(window_.abouts, 1);
    dispatch_->menuCommand(MenuCommand::Activity);
    EXPECT_EQ(window_.activities, 1);
}

TEST_F(CommandDispatchTest, BrowseOpenAndSettingsChangeOnlyWhatTheUserChose) {
    ASSERT_TRUE(session_->loadSettings());
    const QString before = session_->queue().outputFolder();
    ui_.folderToChoose.clear();  // cancelled
    dispatch_->skinClick("browse");
    EXPECT_EQ(session_->queue().outputFolder(), before);
    ui_.folderToChoose = dir_.filePath("out");
    session_->queue().setOutputText(dir_.path());  // typed into ed_output
    dispatch_->skinClick("browse");
    EXPECT_EQ(ui_.folderCaptions, QStringList({"Output Directory", "Output Directory"}));
    EXPECT_EQ(ui_.folderStarts.last(), dir_.path()) << "opens at the folder shown";
    EXPECT_EQ(session_->queue().outputFolder(), dir_.filePath("out"));
    EXPECT_EQ(session_->queue().outputText(), dir_.filePath("out"));
    dispatch_->skinClick("open");
    EXPECT_EQ(machine_.opened, QStringList{dir_.filePath("out")});

    dispatch_->skinClick("settings");  // Cancel
    EXPECT_EQ(session_->queue().finishAction(), FinishAction::Nothing);
    ui_.settingsToChoose = SettingsChoices{FinishAction::OpenFolder, true, 2};
    dispatch_->skinClick("settings");
    EXPECT_EQ(session_->queue().finishAction(), FinishAction::OpenFolder);
    EXPECT_TRUE(session_->queue().stretch());
    EXPECT_EQ(session_->queue().jobsAtOnce(), 2);
    dispatch_->skinClick("settings");
    EXPECT_EQ(ui_.shownSettings, (QList<SettingsChoices>{{FinishAction::Nothing, false, 0},
                                                         {FinishAction::Nothing, false, 0},
                                                         {FinishAction::OpenFolder, true, 2}}));
}

// With no file manager or browser, each folder and page that could not be opened is said
// once, with what to open by hand; a refused power-off is said every time.
TEST_F(CommandDispatchTest, WhatNothingCouldOpenIsSaidOnceWithWhereToGoByHand) {
    ASSERT_TRUE(session_->loadSettings());
    session_->queue().setOutputFolder(dir_.filePath("out"));
    QStringList said;
    QObject::connect(session_.get(), &Session::problem,
                     [&said](const QString& text) { said << text; });
    for (const QString& failure : {QString("xdg-open: no method available"), QString()}) {
        machine_.failure = failure;
        said.clear();
        for (int k = 0; k < 2; ++k) {
            dispatch_->menuCommand(MenuCommand::Help);
            dispatch_->menuCommand(MenuCommand::Website);  // the same address as Help
            dispatch_->menuCommand(MenuCommand::Support);
            dispatch_->skinClick("open");
            session_->machine().powerOff();
        }
        if (failure.isEmpty()) {
            EXPECT_TRUE(said.isEmpty()) << said.join('\n').toStdString();
            continue;
        }
        ASSERT_EQ(said.size(), 5) << said.join('\n').toStdString();
        EXPECT_TRUE(said[0].contains("https://www.orvex-video.example (" + failure + ")"));
        EXPECT_TRUE(said[1].contains("https://www.orvex-video.example/contact.php"));
        EXPECT_TRUE(said[2].contains(dir_.filePath("out")) && said[2].contains("by hand"));
        EXPECT_EQ(said[3], "The computer was not shut down: " + failure + ".");
        EXPECT_EQ(said[4], said[3]);
    }
    EXPECT_EQ(machine_.powerOffs, 4) << "the fake stands in for the machine in every test";
}

// The DVD edition's command line: one DVD folder (searched as Add DVD) or IFO files; anything
// else is said and left out.
TEST_F(CommandDispatchTest, TheDvdEditionsCommandLineTakesOneFolderOrIfoFiles) {
    open("orvex-dvd");
    QStringList said;
    QObject::connect(session_.get(), &Session::problem,
                     [&said](const QString& text) { said << text; });
    QDir(dir_.path()).mkpath("disc/VIDEO_TS");
    QDir(dir_.path()).mkpath("other");
    session_->commandLineSources().open({dir_.filePath("profiles.pop"), dir_.filePath("disc"),
                                         dir_.filePath("other"), dir_.filePath("gone.ifo")});
    EXPECT_EQ(said, QStringList(
                        {"Not added: " + dir_.filePath("profiles.pop") +
                             " (not a DVD folder or an IFO file)",
                         "Not added: " + dir_.filePath("other") +
                             " (the DVD edition takes one DVD folder, or IFO files)",
                         "Not added: " + dir_.filePath("gone.ifo") + " (no such file or folder)"}));
    ASSERT_TRUE(waitUntil([this] { return !ui_.informations.isEmpty(); }));
    EXPECT_EQ(ui_.informations, QStringList{"Can't find DVD disc."}) << "the folder was searched";
}

TEST_F(CommandDispatchTest, CloseIsRefusedWhileBusyAndSavesOtherwise) {
    ASSERT_TRUE(session_->loadSettings());
    playing_ = true;
    converting_ = true;
    EXPECT_FALSE(dispatch_->closeRequest());
    playing_ = false;
    EXPECT_FALSE(dispatch_->closeRequest());
    EXPECT_EQ(ui_.informations,
              QStringList({"Please first stop play!", "Please first stop converting!"}));
    EXPECT_TRUE(ui_.warnings.isEmpty());
    EXPECT_FALSE(QFile::exists(dir_.filePath("orvex.ini"))) << "a refused close saves nothing";

    converting_ = false;
    session_->selection().setCurrentProfile(53);  // hovered in the picker, never clicked
    session_->queue().setOutputText("/typed/but/never/used");
    session_->queue().setFinishAction(FinishAction::PowerOff);
    session_->queue().setStretch(true);
    session_->picker().clickPaging(ProfilePicker::Paging::Image94);
    EXPECT_TRUE(dispatch_->closeRequest());

    // The next start reads back what was saved.
    open("orvex");
    ASSERT_TRUE(session_->loadSettings());
    EXPECT_EQ(session_->selection().currentProfile(), 53);
    EXPECT_EQ(session_->queue().finishAction(), FinishAction::PowerOff);
    EXPECT_TRUE(session_->queue().stretch());
    EXPECT_FALSE(session_->picker().videoFirstPage());
    EXPECT_TRUE(session_->picker().audioFirstPage());
    EXPECT_NE(session_->queue().outputText(), "/typed/but/never/used");
}

TEST_F(CommandDispatchTest, FirstStartUsesTheNameDefault) {
    open("orvex-avi-mp4");
    ASSERT_TRUE(session_->loadSettings());
    EXPECT_EQ(session_->selection().currentProfile(), 102);
    EXPECT_EQ(session_->picker().currentCategory(), 1);
    EXPECT_EQ(session_->queue().finishAction(), FinishAction::Nothing);
    EXPECT_TRUE(session_->queue().outputText().endsWith('/'));
    EXPECT_EQ(session_->queue().outputFolder(), session_->queue().outputText());
}

}  // namespace
