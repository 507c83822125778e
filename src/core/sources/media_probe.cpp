#include "core/sources/media_probe.h"

#include <QEventLoop>
#include <QTimer>

#include "core/engine/invocation.h"

namespace {

QString lastLineOf(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QByteArray line = it->trimmed();
        if (!line.isEmpty()) {
            const qsizetype cr = line.lastIndexOf('\r');
            return QString::fromUtf8(cr < 0 ? line : line.mid(cr + 1)).trimmed();
        }
    }
    return {};
}

}  // namespace

MediaProbe::MediaProbe(AppState& state, QString encoderPath, QString workFolder, QObject* parent)
    : QObject(parent),
      state_(state),
      encoderPath_(std::move(encoderPath)),
      workFolder_(std::move(workFolder)) {}

QString MediaProbe::commandLineOf(const QString& path) const {
    return Quote(encoderPath_) + QStringLiteral(" -i ") + Quote(path);
}

MediaProbe::Result MediaProbe::probe(const QString& path) {
    Result result;
    if (state_.probing) {
        result.errorText = QStringLiteral("another file is being examined");
        return result;
    }
    state_.probing = true;
    cancelled_ = false;

    ProbeParser parser;
    EncoderJob* job = new EncoderJob(this);
    job_ = job;
    QEventLoop loop;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    JobEnd end;
    bool ended = false;

    connect(job, &EncoderJob::chunkArrived, &loop, [&] {
        parser.parse(job->buffer());
        watchdog.start(timeoutMs_);
    });
    connect(job, &EncoderJob::ended, &loop, [&](const JobEnd& e) {
        end = e;
        ended = true;
        loop.quit();
    });
    connect(&watchdog, &QTimer::timeout, &loop, [&] {
        result.timedOut = true;
        job->terminate();
    });

    job->launch(encoderPath_, {QStringLiteral("-i"), path}, workFolder_);
    watchdog.start(timeoutMs_);
    if (!ended) {
        loop.exec();
    }
    parser.finish(job->buffer());

    result.values = parser.values();
    result.started = end.started;
    result.cancelled = cancelled_;
    result.errorText = end.errorText;
    result.lastLine = lastLineOf(end.outputTail);

    job_ = nullptr;
    job->deleteLater();
    state_.probing = false;
    return result;
}

void MediaProbe::cancel() {
    if (job_ != nullptr) {
        cancelled_ = true;
        job_->terminate();
    }
}
