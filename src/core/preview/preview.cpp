#include "core/preview/preview.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/engine/dvd_locator.h"
#include "core/engine/time_value.h"

const QString Preview::kZeroTime = QStringLiteral("00:00:00");

namespace {

// To the nearest whole second, halves to the even neighbour (3600.5 gives 3600).
qint32 roundedSeconds(double seconds) {
    const double r = std::nearbyint(seconds);  // the default rounding mode: halves to even
    if (r >= std::numeric_limits<qint32>::max()) {
        return std::numeric_limits<qint32>::max();
    }
    if (r <= std::numeric_limits<qint32>::min()) {
        return std::numeric_limits<qint32>::min();
    }
    return static_cast<qint32>(r);
}

// a × b ÷ c with a 64-bit product, to the nearest integer, halves away from zero; c > 0.
qint64 scaled(qint64 a, qint64 b, qint64 c) {
    const qint64 product = a * b;
    const qint64 magnitude = (2 * (product < 0 ? -product : product) + c) / (2 * c);
    return product < 0 ? -magnitude : magnitude;
}

}  // namespace

Preview::Preview(JobList& jobs, CommandGuards& guards, PreviewPlayer& player, bool dvdEdition,
                 bool kamzuBrand, QObject* parent)
    : QObject(parent),
      jobs_(jobs),
      guards_(guards),
      player_(player),
      dvdEdition_(dvdEdition),
      kamzuBrand_(kamzuBrand) {
    timer1_.setInterval(kTimer1Interval);
    connect(&timer1_, &QTimer::timeout, this, &Preview::timer1Tick);
    streamChoice_ = [this](int row) {
        const TConvertInfo* info = jobs_.convertInfo(row);
        return info != nullptr ? StreamChoice{info->audioStream, info->subtitleStream}
                               : StreamChoice{QStringLiteral("0"), QStringLiteral("0")};
    };
}

void Preview::setPanel(void* handle, int width, int height) {
    panel_ = handle;
    panelWidth_ = width;
    panelHeight_ = height;
}

void Preview::setSkinObjects(SkinText* time, SkinBar* bar) {
    time_ = time;
    bar_ = bar;
}

void Preview::play() {
    if (!passStartGuards()) {
        return;
    }
    if (dvdEdition_) {
        dvdStart();
    } else {
        fileStart();
    }
}

bool Preview::passStartGuards() {
    if (!jobs_.hasSelection()) {
        return false;
    }
    if (guards_.refusedWhileConverting()) {
        return false;
    }
    if (paused_) {
        pauseToggle();
    }
    if (playing_) {
        return false;  // the running preview goes on
    }
    if (kamzuBrand_) {
        emit playPanelShown();
    }
    previewJobIndex_ = jobs_.firstSelected();
    setPlaying(true);
    return true;
}

void Preview::startPlayer() {
    firstPosition_ = true;
    player_.InitPreviewWindow(panel_, panelWidth_, panelHeight_);
    player_.SetEventFuntion([this](double seconds) { positionReported(seconds); });
}

void Preview::fileStart() {
    startPlayer();
    shownPosition_ = 0;
    player_.Seek(0);
    const QString source =
        jobs_.isRow(previewJobIndex_) ? jobs_.jobInfo(previewJobIndex_).source : QString();
    player_.Play(QFile::encodeName(source));
    endPlayback();
}

// Does not seek to 0: a title's clock need not start at 0, and the first report sets the start
// offset. The shown position starts afresh, or a longer title previewed before would make the
// end check stop this one at its first report.
void Preview::dvdStart() {
    startPlayer();
    shownPosition_ = 0;
    const TConvertInfo* row = jobs_.convertInfo(previewJobIndex_);
    if (row != nullptr) {
        TConvertInfo info = *row;
        const StreamChoice streams = streamChoice_(previewJobIndex_);
        info.audioStream = streams.audioStream;
        info.subtitleStream = streams.subtitleStream;
        player_.Play(dvdLocator(info).toUtf8());
    }
    endPlayback();
}

void Preview::endPlayback() {
    // A stop still pending from the end of the media must not reach the next preview, nor a
    // drag whose release came after the end freeze the next preview's bar.
    timer1_.stop();
    dragging_ = false;
    showBar(0);
    showTime(kZeroTime);
    setPlaying(false);
}

void Preview::setPlaying(bool playing) {
    if (playing_ != playing) {
        playing_ = playing;
        emit playingChanged(playing);
    }
}

void Preview::stopPlay() {
    player_.Stop();
}

void Preview::pauseToggle() {
    paused_ = !paused_;
    player_.Pause();
}

bool Preview::onBar(const QString& object) const {
    return dvdEdition_ && !guards_.converting() && object == QLatin1String("play_bar") && playing_;
}

void Preview::pressOn(const QString& object) {
    if (onBar(object)) {
        dragging_ = true;
    }
}

void Preview::releaseOn(const QString& object) {
    if (!onBar(object)) {
        return;
    }
    const int b = bar_ != nullptr ? bar_->position() : 0;
    const qint64 target = scaled(b, duration(), SkinBar::kMaxPosition) + startOffset_;
    constexpr qint64 kLowest = std::numeric_limits<qint32>::min();
    constexpr qint64 kHighest = std::numeric_limits<qint32>::max();
    player_.Seek(static_cast<qint32>(std::clamp(target, kLowest, kHighest)));
    dragging_ = false;
}

qint32 Preview::duration() const {
    return jobs_.isRow(previewJobIndex_)
               ? secondsOfTimeValue(jobs_.jobInfo(previewJobIndex_).duration)
               : 0;
}

void Preview::positionReported(double seconds) {
    if (std::isnan(seconds)) {
        return;
    }
    if (firstPosition_ && seconds > 0) {
        firstPosition_ = false;
        startOffset_ = roundedSeconds(seconds);
    }
    const qint32 length = duration();
    if (length <= shownPosition_) {
        // The stop comes from the timer's tick, from the event loop, once this report has been
        // shown: the player is not stopped from inside its own callback.
        timer1_.start();
    }
    const qint32 r = roundedSeconds(seconds) - startOffset_;
    if (r == shownPosition_) {
        return;
    }
    shownPosition_ = r;
    showTime(timeValueOfSeconds(r));
    if (!dragging_) {
        showBar(length > 0 ? static_cast<int>(scaled(r, SkinBar::kMaxPosition, length)) : -1);
    }
}

void Preview::timer1Tick() {
    timer1_.stop();
    player_.Stop();
}

void Preview::showTime(const QString& text) {
    if (time_ != nullptr) {
        time_->setText(text);
        time_->redraw();
    }
}

void Preview::showBar(int position) {
    if (bar_ != nullptr) {
        bar_->setPosition(position);
        bar_->redraw();
    }
}
