#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "gui/desktop_app.h"
#include "gui/main_window.h"
#include "gui/skin/skin_object.h"

namespace orvex::test {

// A window test's program folder (linked to build/bin's files, see linkProgramFolder) with
// its own settings, and the program started from it.
class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override { app_.reset(); }

    // Starts the program named `name` (which chooses the edition) and shows its window; a
    // program started before is closed first.
    Tfm_main& start(const QString& name = QStringLiteral("orvex"));

    static SkinObject* object(Tfm_main& window, const char* name);

    QTemporaryDir dir_;
    QString program_;
    std::unique_ptr<DesktopApp> app_;
};

}  // namespace orvex::test
