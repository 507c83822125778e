#pragma once

#include <QString>
#include <QStringList>

#include "cli/cli_options.h"

// orvex-cli: the video edition's core objects (probe, file sources, profile selection, queue)
// driven from the command line. Reads the settings file and the profile choices file named
// after its own program file and never writes either: the selection works on a private copy
// of the choices, so choices given on the command line last for this run only.
class CliApp {
  public:
    enum ExitCode { kSuccess = 0, kFailure = 1, kUsage = 2 };

    CliApp(QString programFileName, QStringList arguments);
    // Runs to the end; the process's exit code. Needs a QCoreApplication.
    int run();

  private:
    int usageError(const QString& message) const;

    QString programFileName_;
    QStringList arguments_;
};
