#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "core/engine/encoder_runner.h"
#include "core/sources/probe_parser.h"

// The media probe: runs the encoder on one file with no output ("-i FILE") and reads what it
// prints. It has its own EncoderJob, never the conversion runner's, so probing and converting
// share no process. start() returns at once; finished() follows exactly once per probe.
class MediaProbe : public QObject {
    Q_OBJECT
  public:
    // A probe that prints nothing new for this long is ended (a file that never delivers data,
    // such as a stalled network mount, must not hang the program).
    static constexpr int kDefaultTimeoutMs = 60 * 1000;

    struct Result {
        QString path;
        ProbeValues values;
        bool started = false;    // the encoder could be started
        bool timedOut = false;   // ended by the time limit
        bool cancelled = false;  // ended by cancel()
        QString errorText;       // why the encoder could not start
        QString lastLine;        // the last line the encoder printed (its complaint, usually)
    };

    MediaProbe(QString encoderPath, QString workFolder, QObject* parent = nullptr);

    const QString& encoderPath() const { return encoderPath_; }
    void setTimeoutMs(int ms) { timeoutMs_ = ms; }

    // The command line as shown to people: Quote(encoderPath) " -i " Quote(path).
    QString commandLineOf(const QString& path) const;

    // Starts the probe of path. Ignored while this probe is under way.
    void start(const QString& path);
    bool isRunning() const { return job_ != nullptr; }
    // Ends the probe under way; finished() follows with cancelled set.
    void cancel();

  signals:
    void finished(const MediaProbe::Result& result);

  private:
    void onEnded(const JobEnd& end);

    QString encoderPath_;
    QString workFolder_;
    int timeoutMs_ = kDefaultTimeoutMs;
    QPointer<EncoderJob> job_;
    ProbeParser parser_;
    QTimer watchdog_;
    Result result_;
};
