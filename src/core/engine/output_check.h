#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "core/engine/encoder_runner.h"

class MediaProbe;

// Whether a finished job's output is whole: its duration, read back by the media probe,
// against the duration of what it was made from. A clearly shorter file (under 90 % and more
// than 2 s short) is not whole: the source changed while it was read, or is damaged, and the
// encoder still ended well. An audio-only output is measured against the source's audio when
// that explains the difference (a video whose sound ends early). Nothing to judge by (no
// duration known on either side) counts as whole.
class OutputCheck : public QObject {
    Q_OBJECT
  public:
    struct Job {
        QString output;              // the file the job wrote
        qint64 expectedSeconds = 0;  // the source's, or the DVD title's or chapter's; 0: unknown
        // An audio-only job from a file that did not change while it was read: the source,
        // whose own audio is measured when the output falls short of its whole duration.
        QString audioSource;
    };

    OutputCheck(QString encoderPath, QString workFolder, QObject* parent = nullptr);
    ~OutputCheck() override;

    // Starts the check; finished() follows exactly once, never from inside start().
    void start(const Job& job);
    // Ends the check early; finished() follows with no problem.
    void cancel();

    // Why an output of outputHundredths is not whole against expectedSeconds, in words;
    // empty when it is.
    static QString shortfall(qint64 outputHundredths, qint64 expectedSeconds);
    // What the check read, in words ("the output is 59.9 s of the 60 s source").
    QString reading() const;

  signals:
    // problem: why the output is not whole; empty when it is.
    void finished(const QString& problem);

  private:
    static QString readingText(qint64 outputHundredths, qint64 expectedSeconds);
    void outputProbed(qint64 outputHundredths);
    void measureAudio();
    void finish(const QString& problem);

    QString encoderPath_;
    QString workFolder_;
    Job job_;
    QPointer<MediaProbe> probe_;
    QPointer<EncoderJob> audio_;
    qint64 outputHundredths_ = -1;
    qint64 audioHundredths_ = -1;  // how far the measure of the source's audio got
    QString problem_;
    bool done_ = false;
};
