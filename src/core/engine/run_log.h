#pragma once

#include <QString>
#include <QStringList>

#include "core/engine/encoder_runner.h"
#include "core/engine/finish_action.h"
#include "core/engine/row_state.h"
#include "core/engine/run_outcome.h"
#include "core/shell/activity_log.h"

class ProfileSelection;

// What a conversion run writes to the activity log, in words: its profile and choices, and
// for each job (a section of its own) the command line exactly as started, the encoder's end
// with its exit code or signal, stops, the read-back of the output and the row's end. Without
// a log it writes nothing.
class RunLog {
  public:
    using Section = ActivityLog::Section;

    void setLog(ActivityLog* log) { log_ = log; }
    ActivityLog* log() const { return log_; }

    void runStarted(const ProfileSelection& selection, const QString& outputText, int rows,
                    FinishAction finish);
    void leftoversRemoved(const QStringList& paths);
    // A row that failed before any encoder ran.
    void failedBeforeStart(int row, const QString& caption, const QString& reason);
    Section jobStarted(int row, int rows, const QString& caption, const QString& source,
                       const QString& output, const QString& temporary);
    void commandStarted(Section section, const QString& program, const QStringList& arguments);
    void stopping(Section section, const QString& how);
    void encoderEnded(Section section, const JobEnd& end);
    // What reading the output back found (OutputCheck), in words.
    void outputRead(Section section, const QString& reading);
    void jobEnded(Section section, const RowState& state);
    void runStopped();
    void runEnded(const RunOutcome& outcome);

    // An argument list as one line that can be read back unambiguously: arguments with blanks,
    // quotes or other special characters between single quotes.
    static QString commandLine(const QString& program, const QStringList& arguments);

  private:
    void write(const QString& text);
    void write(Section section, const QString& text);

    ActivityLog* log_ = nullptr;
};
