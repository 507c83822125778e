#pragma once

#include <QString>

#include "core/engine/line_buffer.h"

// What the media probe found about one file, as the encoder printed it. Empty: not found.
struct ProbeValues {
    QString duration;                // "hh:mm:ss" (the first 8 characters after "Duration: ")
    QString size;                    // "320x240"
    QString totalKbps;               // overall bit rate, decimal text as printed
    QString videoKbps;               // first video stream's rate
    QString audioKbps;               // first audio stream's rate
    bool hasVideo = false;           // a moving picture was listed (a cover picture is none)
    bool hasAudio = false;           // an audio stream was listed
    qint64 durationHundredths = -1;  // the duration with its fraction; -1: not known
    QString displayAspect;           // first video stream's "DAR 16:9" -> "16:9"
    QString frameRate;  // first video stream's "29.97 fps" (else "29.97 tbr") -> "29.97"

    bool operator==(const ProbeValues&) const = default;
};

// Reads the diagnostic text that the encoder prints for "-i FILE" without an output.
// Text arrives in chunks that may split lines anywhere; parse() consumes whole lines only
// (CR, LF and CR LF each end a line) and leaves the unfinished tail in the buffer.
//
// Which lines count: the "Duration:" line gives the duration and the overall bit rate; the
// first stream line ("Stream #...") carrying "Video:" gives the picture size and video rate,
// the first carrying "Audio:" the audio rate. Each value is settled by the first such line of
// the whole output, however the text was chunked. Lines of any other kind never count: the
// "Input #0, ..., from 'FILE':" line and metadata values are free text (a title reading
// "Video: 1x1, 9 kb/s" must not win), and an "Output #" section is not the source's.
class ProbeParser {
  public:
    void reset();
    // Consumes every whole line of buffer.
    void parse(LineBuffer& buffer);
    // End of output: the unterminated tail, if any, is a last line.
    void finish(LineBuffer& buffer);

    const ProbeValues& values() const { return values_; }

    // Building blocks, public for their tests.
    // The text before the first " kb/s": the characters back to the nearest blank within
    // ten, else the ten characters before it. Empty when the line has no " kb/s".
    static QString rateBeforeKbps(const QString& line);
    // The picture size of a stream line: after "Video:", the first "x" with a decimal
    // number on each side, the left one not starting with 0 (so a codec tag such as
    // 0x31637661 is passed over) and neither touching a letter or digit beyond it.
    static QString sizeToken(const QString& line);
    // The word before `unit` (" fps", " tbr") among a stream line's comma-separated parts:
    // "25 fps" -> "25"; empty when no part reads so.
    static QString valueBefore(const QString& line, QLatin1String unit);
    // The ratio after "DAR " ("[SAR 64:45 DAR 16:9]" -> "16:9"); empty without one.
    static QString displayAspectOf(const QString& line);

  private:
    void parseLine(const QString& line);

    ProbeValues values_;
    bool durationLineSeen_ = false;
    bool stillSeen_ = false;  // a cover picture gave the size; a moving picture may follow
    bool outputSection_ = false;
};
