#pragma once

#include <QString>
#include <QWidget>
#include <functional>

namespace orvex::test {

// A program folder for a window under test: links to build/bin's register.dat, profiles.pop,
// skn.skn and images, so each test can replace one of them.
bool linkProgramFolder(const QString& folder);

// Runs `act` on the modal dialog that opens next (once it is shown), from the event loop.
void onNextModal(std::function<void(QWidget* dialog)> act);

// Saves a picture of the widget under $ORVEX_SHOT_DIR/<name>.png when that is set.
void shot(QWidget* widget, const QString& name);

}  // namespace orvex::test
