#include <QProcess>
#include <QStringList>
#include <memory>

#include "platform/machine_actions.h"

namespace platform {

namespace {

// The last line the program wrote, which says why it failed, or its exit status.
QString failureOf(QProcess& process, int exitCode, QProcess::ExitStatus status) {
    const QStringList lines =
        QString::fromLocal8Bit(process.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!lines.isEmpty()) {
        return lines.last().trimmed();
    }
    return status == QProcess::CrashExit
               ? QStringLiteral("%1 ended abnormally").arg(process.program())
               : QStringLiteral("%1 ended with status %2").arg(process.program()).arg(exitCode);
}

// Runs the first of `commands` that can be started with `target` appended, without waiting
// for it, and tells `outcome` how it ended. Ends when the program does: an opener may run as
// long as the file manager it started.
void runFirst(QList<QStringList> commands, const QString& target, MachineActions::Outcome outcome,
              QStringList tried = {}) {
    commands.removeAll(QStringList());
    if (commands.isEmpty()) {
        if (outcome) {
            outcome(
                QStringLiteral("%1 could not be started").arg(tried.join(QStringLiteral(", "))));
        }
        return;
    }
    QStringList command = commands.takeFirst();
    tried << command.first();
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, commands, target, outcome, tried](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) {
                             return;
                         }
                         process->deleteLater();
                         runFirst(commands, target, outcome, tried);
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, outcome](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (outcome) {
                             outcome(exitCode == 0 && status == QProcess::NormalExit
                                         ? QString()
                                         : failureOf(*process, exitCode, status));
                         }
                     });
    const QString program = command.takeFirst();
    if (!target.isNull()) {
        command << target;
    }
    process->start(program, command);
}

}  // namespace

void SystemMachineActions::openFolder(const QString& folder, Outcome outcome) {
    open(folder, std::move(outcome));
}

void SystemMachineActions::openUrl(const QString& address, Outcome outcome) {
    open(address, std::move(outcome));
}

void SystemMachineActions::open(const QString& target, Outcome outcome) {
    runFirst(commands_.openers, target, std::move(outcome));
}

void SystemMachineActions::powerOff(Outcome outcome) {
    runFirst({commands_.powerOff}, QString(), std::move(outcome));
}

}  // namespace platform
