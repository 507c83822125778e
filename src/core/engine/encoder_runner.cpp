#include "core/engine/encoder_runner.h"

#include <QMetaObject>
#include <QTimer>

#include "platform/child_group.h"

namespace {

// The reader hands over at most this much at a time, so the parser sees the output in pieces
// of a bounded size however fast the encoder writes.
constexpr qint64 kChunkBytes = 1024;

// How long Stop lets the encoder wind down before it is killed.
constexpr int kStopGraceMs = 3000;

}  // namespace

EncoderJob::EncoderJob(QObject* parent) : QObject(parent) {}

EncoderJob::~EncoderJob() {
    if (process_ == nullptr) {
        return;
    }
    // Nobody may hear from this job any more: its owner is going away.
    blockSignals(true);
    process_->disconnect(this);
    if (process_->state() != QProcess::NotRunning) {
        // Asked first, as Stop asks: register.dat removes the half-written file of its own.
        platform::signalGroup(*process_, platform::GroupSignal::Terminate);
        if (process_->waitForFinished(kStopGraceMs)) {
            return;
        }
        // Ends them at once, so nothing is left writing into the output folder.
        platform::signalGroup(*process_, platform::GroupSignal::Kill);
        // Reaps the child, so it does not linger as a zombie.
        process_->waitForFinished(3000);
    }
}

void EncoderJob::launch(const QString& program, const QStringList& arguments,
                        const QString& workFolder) {
    if (process_ != nullptr || ended_) {
        return;  // one process per job
    }
    process_ = new QProcess(this);
    process_->setProcessChannelMode(QProcess::MergedChannels);
    process_->setWorkingDirectory(workFolder);
    process_->setProgram(program);
    process_->setArguments(arguments);

    connect(process_, &QProcess::readyRead, this, &EncoderJob::readAvailable);
    connect(process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        JobEnd end;
        end.started = true;
        end.crashed = status == QProcess::CrashExit;
        end.exitCode = exitCode;
        finish(end);
    });
    connect(process_, &QProcess::errorOccurred, this, [this, program](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) {
            return;  // a crash is reported by finished(), which follows
        }
        JobEnd end;
        end.started = false;
        end.errorText = QStringLiteral("Could not start the encoder %1: %2")
                            .arg(program, process_->errorString());
        // Queued: QProcess may report this from inside start(), and the owner must never get
        // the job's end before launch() has returned.
        QMetaObject::invokeMethod(
            this, [this, end] { finish(end); }, Qt::QueuedConnection);
    });

    if (stallLimitMs_ > 0) {
        stall_ = new QTimer(this);
        stall_->setSingleShot(true);
        stall_->setInterval(stallLimitMs_);
        connect(stall_, &QTimer::timeout, this, [this] {
            stalled_ = true;
            terminate();
        });
        stall_->start();
    }

    // A group of its own, which Stop ends as a whole (register.dat runs an FFmpeg child of its
    // own for some outputs), dying with this process. Read and write: standard input is a pipe
    // that stays open and is never written.
    platform::startChild(*process_, QIODevice::ReadWrite);
}

void EncoderJob::run(const intputrec& rec) {
    launch(rec.encoderPath, argumentList(rec), rec.workFolder);
}

void EncoderJob::terminate() {
    if (process_ == nullptr || process_->state() == QProcess::NotRunning || terminating_) {
        return;
    }
    // Once only: FFmpeg takes a fourth signal as a reason to exit from its signal handler,
    // which can hang it until the kill below, and register.dat's half-written file stays.
    terminating_ = true;
    // Asked first, FFmpeg closes its output properly and register.dat removes a half-written
    // file of its own; whatever still runs after the grace period is killed.
    platform::signalGroup(*process_, platform::GroupSignal::Terminate);
    emit stopping(QStringLiteral("SIGTERM sent to the encoder and what it started"));
    QTimer::singleShot(kStopGraceMs, this, [this] {
        if (isRunning()) {
            platform::signalGroup(*process_, platform::GroupSignal::Kill);
            emit stopping(
                QStringLiteral("SIGKILL sent after %1 s without an end").arg(kStopGraceMs / 1000));
        }
    });
    // finished() follows and reports the end.
}

void EncoderJob::noteProgress() {
    if (stall_ != nullptr && !stalled_ && !ended_) {
        stall_->start();
    }
}

bool EncoderJob::isRunning() const {
    return process_ != nullptr && process_->state() != QProcess::NotRunning;
}

void EncoderJob::readAvailable() {
    if (process_ == nullptr) {
        return;
    }
    while (process_->bytesAvailable() > 0) {
        const QByteArray chunk = process_->read(kChunkBytes);
        if (chunk.isEmpty()) {
            break;
        }
        tail_.append(chunk);
        if (tail_.size() > kTailBytes) {
            tail_.remove(0, tail_.size() - kTailBytes);
        }
        buffer_.append(chunk);
        emit chunkArrived();
        if (ended_) {
            return;  // the owner may have ended the job from its handler
        }
    }
}

void EncoderJob::finish(const JobEnd& end) {
    if (ended_) {
        return;
    }
    // The last progress lines may still wait in the pipe; they belong to this job.
    readAvailable();
    if (ended_) {
        return;
    }
    ended_ = true;
    if (stall_ != nullptr) {
        stall_->stop();
    }
    JobEnd complete = end;
    if (stalled_) {
        complete.stalledMs = stallLimitMs_;
    }
    if (complete.started && !complete.crashed && complete.exitCode == kCannotStartExitCode) {
        // register.dat (or a shell) could not start the program it runs; its last line says
        // what was looked for. Every further job would fail alike.
        complete.started = false;
        const QList<QByteArray> lines = tail_.trimmed().split('\n');
        complete.errorText = QString::fromLocal8Bit(lines.last().trimmed());
    }
    complete.outputTail = tail_;
    emit ended(complete);
}
