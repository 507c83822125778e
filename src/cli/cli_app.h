#pragma once

#include <QString>
#include <QStringList>

// orvex-cli: a client of the core session driven from the command line. Reads the settings
// file and the profile choices file named after its own program file and never writes either:
// choices given on the command line last for this run only.
class CliApp {
  public:
    enum ExitCode { kSuccess = 0, kFailure = 1, kUsage = 2 };

    CliApp(QString programFileName, QStringList arguments);
    // Runs to the end; the process's exit code. Needs a QCoreApplication.
    int run();

  private:
    int runChecked();

    QString programFileName_;
    QStringList arguments_;
};
