#include "core/engine/line_buffer.h"

void LineBuffer::append(QByteArrayView chunk) {
    const qsizetype nul = chunk.indexOf('\0');
    text_.append(nul < 0 ? chunk : chunk.first(nul));
    if (completeLines().isEmpty() && text_.size() > kMaxPendingBytes) {
        text_.remove(0, text_.size() - kMaxPendingBytes);
    }
}

QByteArrayView LineBuffer::completeLines() const {
    qsizetype lastBreak = text_.size() - 1;
    while (lastBreak >= 0 && !isBreak(text_.at(lastBreak))) {
        --lastBreak;
    }
    return lastBreak < 0 ? QByteArrayView() : QByteArrayView(text_.constData(), lastBreak);
}

void LineBuffer::consumeCompleteLines() {
    qsizetype lastBreak = text_.size() - 1;
    while (lastBreak >= 0 && !isBreak(text_.at(lastBreak))) {
        --lastBreak;
    }
    text_.remove(0, lastBreak + 1);
    if (text_.size() > kMaxPendingBytes) {
        text_.remove(0, text_.size() - kMaxPendingBytes);
    }
}
