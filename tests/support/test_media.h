#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orvex::test {

// build/bin: the executables, register.dat and profiles.pop.
QString binDir();
QString registerDatPath();
QString profilesPopPath();

// Runs a program (no shell) and returns its exit code, -1 when it could not start or timed out.
// Merged standard output and error go to *output when given.
int runProgram(const QString& program, const QStringList& args, QString* output = nullptr,
               int timeoutMs = 120000);

// What register.dat did: its exit code (-1 when it could not start, timed out or crashed) and
// its two output streams.
struct RunResult {
    int exitCode = -1;
    bool crashed = false;
    QByteArray out;
    QByteArray err;
};

// Runs register.dat with `args` (no shell); ORVEX_FFMPEG is set to `ffmpeg` when that is not
// null and removed otherwise.
RunResult runRegisterDat(const QStringList& args, const QString& ffmpeg = {});

// Makes a clip with FFmpeg's lavfi sources: testsrc video of width x height at 25 fps and,
// when audio is true, a stereo 44.1 kHz sine. The container follows the file's extension;
// extraArgs go before the output path (codec choices for odd containers).
bool makeClip(const QString& path, double seconds, int width = 320, int height = 240,
              bool audio = true, const QStringList& extraArgs = {});

// ffprobe's answer for one stream entry, e.g. probeStream(file, "v:0", "width") -> "640";
// empty when there is no such stream.
QString probeStream(const QString& file, const QString& streamSpec, const QString& entry);
// ffprobe's format_name, e.g. "mov,mp4,m4a,3gp,3g2,mj2".
QString probeFormatName(const QString& file);

// ffprobe's duration of a file in seconds; -1 when unknown.
double durationOf(const QString& file);
// The tone of the file's first audio stream in Hz, from its zero crossings; -1 without audio.
double toneHz(const QString& file);
// One frame at `seconds` as 320x240 grey levels.
QByteArray greyFrame(const QString& file, double seconds);
// One frame at `seconds` as width x height RGB, three bytes a pixel.
QByteArray rgbFrame(const QString& file, double seconds, int width, int height);
struct Rgb {
    int r = -1, g = -1, b = -1;
    // The largest difference of a channel.
    int distance(const Rgb& other) const;
};
// The pixel at x, y of such a frame; -1s outside it.
Rgb rgbAt(const QByteArray& frame, int width, int x, int y);
// Pixels of two grey frames in rows [top, bottom) whose levels differ by more than coding
// noise; -1 when a frame is missing.
int changedPixels(const QByteArray& a, const QByteArray& b, int top, int bottom);

}  // namespace orvex::test
