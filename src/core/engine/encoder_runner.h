#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "core/engine/invocation.h"
#include "core/engine/line_buffer.h"

// How one encoder process ended. A job succeeds only when the encoder started, exited
// normally with status 0; the queue additionally checks that the output file exists.
struct JobEnd {
    bool started = false;  // false: the encoder could not be started at all
    bool crashed = false;  // ended by a signal (or killed by Stop)
    int exitCode = -1;
    int stalledMs = 0;      // non-zero: stopped after making no progress for this long
    QString errorText;      // why it could not start, when it could not
    QByteArray outputTail;  // the last few kilobytes the encoder wrote, for the user to read

    bool succeeded() const { return started && !crashed && exitCode == 0 && stalledMs == 0; }
};

// One encoder (or probe) process: Launch steps with output and error merged, standard input an
// unwritten pipe, an argument list and no shell, current directory workFolder.
// Plays the reader role (TProcessor): chunks are appended to buffer() and chunkArrived() lets
// the owner parse it. Plays the waiter role (TClientWaitThread):
// ended() is emitted exactly once per job, also when the process could not start.
// Each job owns its own EncoderJob, so a late end of a stopped job never touches a newer one.
class EncoderJob : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTailBytes = 8 * 1024;
    // The exit status of an encoder front end that could not start the program it runs;
    // reported as a job that could not start.
    static constexpr int kCannotStartExitCode = 127;

    explicit EncoderJob(QObject* parent = nullptr);
    ~EncoderJob() override;

    // An encoder that makes no progress for this long after its start or its last progress
    // is taken as hung and stopped; 0: never. Output is no progress: an encoder may print a
    // warning every few seconds while it gets nowhere.
    void setStallLimitMs(int ms) { stallLimitMs_ = ms; }
    // The owner read a position beyond every earlier one: the stall limit starts again.
    void noteProgress();

    // Starts program with arguments in workFolder; returns at once. The process dies with
    // this one (a crashed or killed front end leaves no encoder running).
    void launch(const QString& program, const QStringList& arguments, const QString& workFolder);
    // Run: launches rec's encoder with argumentList(rec).
    void run(const intputrec& rec);
    // Stop: asks the encoder and what it started to end, and kills them after a grace period;
    // ended() still follows exactly once.
    void terminate();

    bool isRunning() const;
    bool hasEnded() const { return ended_; }
    // Text read but not yet consumed by the parser; the parser consumes what it read.
    LineBuffer& buffer() { return buffer_; }

  signals:
    void chunkArrived();
    void ended(const JobEnd& end);
    // Stop asks the encoder to end, or kills it: how, in words.
    void stopping(const QString& how);

  private:
    void readAvailable();
    void finish(const JobEnd& end);

    QProcess* process_ = nullptr;
    LineBuffer buffer_;
    QByteArray tail_;
    bool ended_ = false;
    bool terminating_ = false;
    int stallLimitMs_ = 0;
    QTimer* stall_ = nullptr;
    bool stalled_ = false;
};
