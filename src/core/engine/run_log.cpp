#include "core/engine/run_log.h"

#include <QDir>
#include <QRegularExpression>

#include "core/profiles/profile_selection.h"
#include "platform/process_info.h"

namespace {

constexpr auto kEngine = ActivityLog::Category::Engine;

QString finishWords(FinishAction finish) {
    switch (finish) {
        case FinishAction::OpenFolder:
            return QStringLiteral("open the output folder");
        case FinishAction::PowerOff:
            return QStringLiteral("power off");
        case FinishAction::Nothing:
            break;
    }
    return QStringLiteral("nothing");
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

QString RunLog::commandLine(const QString& program, const QStringList& arguments) {
    static const QRegularExpression kPlain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    QStringList words;
    for (const QString& word : QStringList{program} + arguments) {
        if (kPlain.match(word).hasMatch()) {
            words << word;
        } else {
            QString quoted = word;
            quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
            words << QLatin1Char('\'') + quoted + QLatin1Char('\'');
        }
    }
    return words.join(QLatin1Char(' '));
}

void RunLog::write(const QString& text) {
    if (log_ != nullptr) {
        log_->write(kEngine, text);
    }
}

void RunLog::write(Section section, const QString& text) {
    if (log_ != nullptr) {
        log_->write(section, kEngine, text);
    }
}

void RunLog::runStarted(const ProfileSelection& selection, const QString& outputText, int rows,
                        FinishAction finish) {
    write(QStringLiteral("Run started: profile %1 \"%2\"; size %3, video %4, audio %5, %6")
              .arg(selection.activeProfile())
              .arg(selection.currentDisplayName(), selection.sizeList().currentText(),
                   selection.videoList().currentText(), selection.audioList().currentText(),
                   selection.channelList().currentText()));
    write(QStringLiteral("  output folder %1; %2 rows; when done: %3")
              .arg(shown(outputText))
              .arg(rows)
              .arg(finishWords(finish)));
}

void RunLog::leftoversRemoved(const QStringList& paths) {
    for (const QString& path : paths) {
        write(QStringLiteral("Removed %1, left behind by a run that was killed").arg(shown(path)));
    }
}

void RunLog::failedBeforeStart(int row, const QString& caption, const QString& reason) {
    write(QStringLiteral("Row %1 \"%2\" failed before its encoder started: %3")
              .arg(row + 1)
              .arg(caption, reason));
}

RunLog::Section RunLog::jobStarted(int row, int rows, const QString& caption, const QString& source,
                                   const QString& output, const QString& temporary) {
    if (log_ == nullptr) {
        return 0;
    }
    const Section section = log_->beginSection(
        kEngine, QStringLiteral("Job %1 of %2: %3").arg(row + 1).arg(rows).arg(caption));
    write(section, QStringLiteral("  source: %1").arg(shown(source)));
    write(section,
          QStringLiteral("  output: %1 (written as %2)").arg(shown(output), shown(temporary)));
    return section;
}

void RunLog::commandStarted(Section section, const QString& program, const QStringList& arguments) {
    write(section, QStringLiteral("  command: ") + commandLine(program, arguments));
}

void RunLog::stopping(Section section, const QString& how) {
    write(section, QStringLiteral("  stop: ") + how);
}

void RunLog::encoderEnded(Section section, const JobEnd& end) {
    QString text;
    if (!end.started) {
        text = QStringLiteral("could not start: ") + end.errorText;
    } else if (end.crashed) {
        text = QStringLiteral("ended by signal %1 (%2)")
                   .arg(end.exitCode)
                   .arg(platform::signalName(end.exitCode));
    } else {
        text = QStringLiteral("exit code %1").arg(end.exitCode);
    }
    if (end.stalledMs > 0) {
        text += QStringLiteral(", after making no progress for %1 s").arg(end.stalledMs / 1000);
    }
    write(section, QStringLiteral("  encoder ended: ") + text);
}

void RunLog::outputRead(Section section, const QString& reading) {
    write(section, QStringLiteral("  read back: ") + reading);
}

void RunLog::jobEnded(Section section, const RowState& state) {
    switch (state.kind) {
        case RowState::Finished:
            write(section, QStringLiteral("  finished: %1").arg(shown(state.outputName)));
            break;
        case RowState::Failed:
            write(section, QStringLiteral("  failed: ") + state.reason);
            for (const QString& line : state.outputTail) {
                write(section, QStringLiteral("    | ") + line);
            }
            break;
        default:
            write(section, QStringLiteral("  stopped"));
            break;
    }
    if (log_ != nullptr) {
        log_->endSection(section);
    }
}

void RunLog::runStopped() {
    write(QStringLiteral("Stop: the run was stopped"));
}

void RunLog::runEnded(const RunOutcome& outcome) {
    write(QStringLiteral("Run ended: ") + outcome.text());
}
