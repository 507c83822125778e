#include "core/sources/media_probe.h"

#include "core/engine/encoder_output.h"
#include "core/engine/invocation.h"

MediaProbe::MediaProbe(QString encoderPath, QString workFolder, QObject* parent)
    : QObject(parent), encoderPath_(std::move(encoderPath)), workFolder_(std::move(workFolder)) {
    watchdog_.setSingleShot(true);
    connect(&watchdog_, &QTimer::timeout, this, [this] {
        if (job_ != nullptr) {
            result_.timedOut = true;
            job_->terminate();
        }
    });
}

QString MediaProbe::commandLineOf(const QString& path) const {
    return Quote(encoderPath_) + QStringLiteral(" -i ") + Quote(path);
}

void MediaProbe::start(const QString& path) {
    if (job_ != nullptr) {
        return;
    }
    result_ = Result();
    result_.path = path;
    parser_.reset();
    EncoderJob* job = new EncoderJob(this);
    job_ = job;
    connect(job, &EncoderJob::chunkArrived, this, [this, job] {
        parser_.parse(job->buffer());
        watchdog_.start(timeoutMs_);
    });
    connect(job, &EncoderJob::ended, this, &MediaProbe::onEnded);
    job->launch(encoderPath_, {QStringLiteral("-i"), path}, workFolder_);
    watchdog_.start(timeoutMs_);
}

void MediaProbe::onEnded(const JobEnd& end) {
    EncoderJob* job = job_;
    if (job == nullptr) {
        return;
    }
    watchdog_.stop();
    parser_.finish(job->buffer());
    result_.values = parser_.values();
    result_.started = end.started;
    result_.errorText = end.errorText;
    const QStringList last = lastOutputLines(end.outputTail, 1);
    result_.lastLine = last.isEmpty() ? QString() : last.first();
    job_ = nullptr;
    job->deleteLater();
    emit finished(result_);
}

void MediaProbe::cancel() {
    if (job_ != nullptr) {
        result_.cancelled = true;
        job_->terminate();
    }
}
