#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Text an encoder writes, as it arrives in chunks that may split a line anywhere. A chunk is
// taken up to its first NUL byte. Parsers read the whole lines (CR, LF and CR LF each end a line)
// and consume them; what follows the last line break waits for the next chunk.
class LineBuffer {
  public:
    // An unfinished line longer than this is no line a parser looks for; only its end is kept,
    // so an encoder that writes without line breaks cannot grow the buffer without bound.
    static constexpr qsizetype kMaxPendingBytes = 64 * 1024;

    void append(QByteArrayView chunk);
    void clear() { text_.clear(); }
    bool isEmpty() const { return text_.isEmpty(); }
    const QByteArray& text() const { return text_; }

    // The text up to, not including, its last line break; empty when there is none. Valid until
    // the buffer changes.
    QByteArrayView completeLines() const;
    // Drops the complete lines, keeping the unfinished tail.
    void consumeCompleteLines();

    // Calls fn(line) for each line of text, line breaks left off; empty lines are passed over.
    template <typename Fn>
    static void forEachLine(QByteArrayView text, Fn fn) {
        qsizetype start = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
                if (i > start) {
                    fn(text.sliced(start, i - start));
                }
                start = i + 1;
            }
        }
    }

    static bool isBreak(char c) { return c == '\r' || c == '\n'; }

  private:
    QByteArray text_;
};
