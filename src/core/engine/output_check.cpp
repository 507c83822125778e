#include "core/engine/output_check.h"

#include <QMetaObject>

#include "core/engine/progress_monitor.h"
#include "core/sources/media_probe.h"

namespace {

// An output under this share of the expected duration and this much short is not whole.
constexpr qint64 kWholePercent = 90;
constexpr qint64 kToleranceHundredths = 200;

// How long measuring the source's audio may go without getting further.
constexpr int kAudioStallMs = 60 * 1000;

}  // namespace

OutputCheck::OutputCheck(QString encoderPath, QString workFolder, QObject* parent)
    : QObject(parent), encoderPath_(std::move(encoderPath)), workFolder_(std::move(workFolder)) {}

OutputCheck::~OutputCheck() = default;

QString OutputCheck::readingText(qint64 outputHundredths, qint64 expectedSeconds) {
    if (outputHundredths < 0) {
        return QStringLiteral("the output's duration cannot be read");
    }
    return QStringLiteral("the output is %1 s of the %2 s source")
        .arg(QString::number(static_cast<double>(outputHundredths) / 100.0, 'f', 1))
        .arg(expectedSeconds);
}

QString OutputCheck::shortfall(qint64 outputHundredths, qint64 expectedSeconds) {
    const qint64 expected = expectedSeconds * 100;
    if (outputHundredths < 0 || expected <= 0 ||
        outputHundredths * 100 >= expected * kWholePercent ||
        expected - outputHundredths <= kToleranceHundredths) {
        return {};
    }
    return readingText(outputHundredths, expectedSeconds) +
           QStringLiteral("; the source may have changed or be damaged");
}

QString OutputCheck::reading() const {
    return job_.expectedSeconds > 0 ? readingText(outputHundredths_, job_.expectedSeconds)
                                    : QStringLiteral("the source's duration is not known");
}

void OutputCheck::start(const Job& job) {
    job_ = job;
    if (job.expectedSeconds <= 0) {
        // Nothing to measure against (a source whose duration was not known).
        QMetaObject::invokeMethod(
            this, [this] { finish({}); }, Qt::QueuedConnection);
        return;
    }
    probe_ = new MediaProbe(encoderPath_, workFolder_, this);
    connect(probe_, &MediaProbe::finished, this, [this](const MediaProbe::Result& r) {
        probe_->deleteLater();
        outputProbed(r.cancelled ? -1 : r.values.durationHundredths);
    });
    probe_->start(job.output);
}

void OutputCheck::outputProbed(qint64 outputHundredths) {
    outputHundredths_ = outputHundredths;
    problem_ = shortfall(outputHundredths, job_.expectedSeconds);
    if (problem_.isEmpty() || job_.audioSource.isEmpty() || done_) {
        finish(problem_);
        return;
    }
    measureAudio();
}

void OutputCheck::measureAudio() {
    // Copying the first audio stream to nowhere reads its whole length without decoding it.
    EncoderJob* job = new EncoderJob(this);
    audio_ = job;
    job->setStallLimitMs(kAudioStallMs);
    connect(job, &EncoderJob::chunkArrived, this, [this, job] {
        // Only the position matters here; what else the encoder says can go.
        const std::optional<qint64> at =
            ProgressMonitor::lastPosition(job->buffer().completeLines());
        if (at && *at > audioHundredths_) {
            audioHundredths_ = *at;
            job->noteProgress();
        }
        job->buffer().consumeCompleteLines();
    });
    connect(job, &EncoderJob::ended, this, [this, job](const JobEnd& end) {
        job->deleteLater();
        const qint64 audio = audioHundredths_;
        if (end.succeeded() && audio > 0 &&
            shortfall(outputHundredths_, (audio + 99) / 100).isEmpty()) {
            finish({});  // the source's sound is as short as the output
            return;
        }
        finish(problem_);
    });
    job->launch(encoderPath_,
                {QStringLiteral("-i"), job_.audioSource, QStringLiteral("-map"),
                 QStringLiteral("0:a:0"), QStringLiteral("-c"), QStringLiteral("copy"),
                 QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("/dev/null")},
                workFolder_);
}

void OutputCheck::cancel() {
    if (done_) {
        return;
    }
    if (probe_ != nullptr) {
        probe_->cancel();
    }
    if (audio_ != nullptr) {
        audio_->terminate();
    }
    done_ = true;
    QMetaObject::invokeMethod(
        this, [this] { emit finished({}); }, Qt::QueuedConnection);
}

void OutputCheck::finish(const QString& problem) {
    if (done_) {
        return;
    }
    done_ = true;
    emit finished(problem);
}
