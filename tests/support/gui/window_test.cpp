#include "window_test.h"

#include <QDir>
#include <QTest>

#include "core/profiles/choices_store.h"
#include "core/shell/settings.h"
#include "gui/skin/skin_engine.h"
#include "gui_test_support.h"
#include "platform/ini_file.h"
#include "platform/program_paths.h"

namespace orvex::test {

void WindowTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    program_ = dir_.filePath(QStringLiteral("program"));
    QDir().mkpath(program_);
    ASSERT_TRUE(linkProgramFolder(program_));
}

Tfm_main& WindowTest::start(const QString& name) {
    app_.reset();
    SessionConfig config;
    config.programFileName = name;
    config.folders = platform::ProgramFolders::inOne(program_);
    config.choices = std::make_unique<IniChoicesStore>(
        platform::IniFile(dir_.filePath(platform::choicesFileName(name))));
    config.settings = Settings(platform::IniFile(dir_.filePath(platform::settingsFileName(name))));
    app_ = std::make_unique<DesktopApp>(std::move(config));
    Tfm_main& window = app_->mainWindow();
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    return window;
}

SkinObject* WindowTest::object(Tfm_main& window, const char* name) {
    return SkinEngine::findObject(&window, QLatin1String(name));
}

}  // namespace orvex::test
