#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "core/engine/job_list.h"
#include "core/preview/preview_player.h"
#include "core/shell/command_guards.h"
#include "core/shell/skin_objects.h"

// The preview of the selected row in the window's panel pl_play: the start guards, the file
// start (video edition) and the DVD start, the position reports shown on "play_time" and
// "play_bar", the stop at the end of the media through Timer1, pause, stop, and seeking by a
// press and release on the bar (DVD edition). It owns the `playing` flag, which is true exactly
// while the player's Play runs; Play blocks with the event loop running, so every command here
// may arrive while a start is still in progress.
class Preview : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTimer1Interval = 10;  // ms
    static const QString kZeroTime;             // "00:00:00"

    // The row's audio and subtitle choice (program-stream ids as texts, "0" for none).
    struct StreamChoice {
        QString audioStream;
        QString subtitleStream;
    };
    using StreamChoiceOf = std::function<StreamChoice(int row)>;

    Preview(JobList& jobs, CommandGuards& guards, PreviewPlayer& player, bool dvdEdition,
            bool kamzuBrand, QObject* parent = nullptr);

    // The panel the player draws into, named by a handle the player understands.
    void setPanel(void* handle, int width, int height);
    // "play_time" and "play_bar"; either may be missing from a skin.
    void setSkinObjects(SkinText* time, SkinBar* bar);
    // Where the DVD start takes the row's streams from; the row's TConvertInfo by default.
    void setStreamChoice(StreamChoiceOf choice) { streamChoice_ = std::move(choice); }

    bool playing() const { return playing_; }
    bool paused() const { return paused_; }
    bool dragging() const { return dragging_; }
    qint32 startOffset() const { return startOffset_; }
    qint32 shownPosition() const { return shownPosition_; }
    int previewJobIndex() const { return previewJobIndex_; }
    QTimer& Timer1() { return timer1_; }

    // The commands "play", "stopplay" and "pause".
    void play();
    void stopPlay();
    void pauseToggle();
    // A mouse press and release on the skin object named `object`.
    void pressOn(const QString& object);
    void releaseOn(const QString& object);

    // What the player reports while it plays: the position in the stream's own seconds.
    void positionReported(double seconds);
    void timer1Tick();

  signals:
    void playingChanged(bool playing);
    // The brand "kamzu" shows pl_play at each start; the picker may have hidden it.
    void playPanelShown();

  private:
    bool passStartGuards();
    void fileStart();
    void dvdStart();
    void startPlayer();
    void endPlayback();
    void setPlaying(bool playing);
    bool onBar(const QString& object) const;
    qint32 duration() const;
    void showTime(const QString& text);
    void showBar(int position);

    JobList& jobs_;
    CommandGuards& guards_;
    PreviewPlayer& player_;
    bool dvdEdition_;
    bool kamzuBrand_;
    StreamChoiceOf streamChoice_;
    void* panel_ = nullptr;
    int panelWidth_ = 0;
    int panelHeight_ = 0;
    SkinText* time_ = nullptr;
    SkinBar* bar_ = nullptr;
    QTimer timer1_;

    bool playing_ = false;
    bool paused_ = false;
    bool firstPosition_ = false;
    qint32 startOffset_ = 0;
    qint32 shownPosition_ = 0;
    bool dragging_ = false;
    int previewJobIndex_ = -1;
};
