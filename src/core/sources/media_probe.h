#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include "core/engine/app_state.h"
#include "core/engine/encoder_runner.h"
#include "core/sources/probe_parser.h"

// The media probe: runs the encoder on one file with no output ("-i FILE") and reads what it
// prints. It has its own EncoderJob, never the conversion runner's, so probing and converting
// share no process. probe() waits in a local event loop (the loop plays the part of handling
// window messages until the probe is over) with AppState::probing set meanwhile.
class MediaProbe : public QObject {
    Q_OBJECT
  public:
    // A probe that prints nothing new for this long is ended (a file that never delivers data,
    // such as a stalled network mount, must not hang the program).
    static constexpr int kDefaultTimeoutMs = 60 * 1000;

    struct Result {
        ProbeValues values;
        bool started = false;    // the encoder could be started
        bool timedOut = false;   // ended by the time limit
        bool cancelled = false;  // ended by cancel()
        QString errorText;       // why the encoder could not start
        QString lastLine;        // the last line the encoder printed (its complaint, usually)
    };

    MediaProbe(AppState& state, QString encoderPath, QString workFolder, QObject* parent = nullptr);

    const QString& encoderPath() const { return encoderPath_; }
    void setTimeoutMs(int ms) { timeoutMs_ = ms; }

    // The command line as shown to people: Quote(encoderPath) " -i " Quote(path).
    QString commandLineOf(const QString& path) const;

    // Runs the probe on path and returns once the encoder has ended and its output is read.
    // Refuses (returns a result with started false) while another probe is under way.
    Result probe(const QString& path);
    // Ends a probe under way at once (Ctrl-C in the CLI, closing a window).
    void cancel();

  private:
    AppState& state_;
    QString encoderPath_;
    QString workFolder_;
    int timeoutMs_ = kDefaultTimeoutMs;
    QPointer<EncoderJob> job_;
    bool cancelled_ = false;
};
