#pragma once

#include <mpv/client.h>
#include <mpv/render.h>

#include <QEventLoop>
#include <QObject>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/thread_wakeup.h"
#include "previewlib/preview.h"
#include "previewlib/preview_surface.h"
#include "previewlib/subpicture_tap.h"
#include "previewlib/subtitle_overlay.h"

namespace orvex::preview {

// One playback over libmpv: frames rendered in software into the surface's size, events and
// frames handed from the player's threads to the calling thread through a wake-up that the
// event loop hears, and a nested event loop that runs until the media ends or stop() is called.
// (Not through posted events: while a posted event is handled, events posted meanwhile wait
// for the outer loop even if the handler calls processEvents, so a click handler or callback
// that waits would starve the playback.)
class MpvPlayback : public QObject {
  public:
    struct Target {
        PreviewSurface* surface = nullptr;
        int width = 0;
        int height = 0;
        PreviewPositionCallback onPosition = nullptr;
    };

    explicit MpvPlayback(Target target);
    ~MpvPlayback() override;

    // Plays source from `start` seconds (stream time) when given; returns when it is over.
    void run(const std::string& source, std::optional<double> start);
    void stop();
    void togglePause();
    void seek(double seconds);

    // Program-stream ids of the tracks played, 0 for none (kept after run() returns).
    int playedAudioId() const { return playedAudioId_; }
    int shownSubtitleId() const { return shownSubtitleId_; }

  private:
    bool create(const std::string& source, std::optional<double> start);
    void destroy();
    void onWake();
    void handleEvents();
    void selectDvdTracks();
    void prepareSubtitle(const std::string& locatorText);
    void drawSubtitle();
    void renderFrame();
    void finish();

    Target target_;
    mpv_handle* mpv_ = nullptr;
    mpv_render_context* render_ = nullptr;
    QEventLoop loop_;
    bool ended_ = false;
    // The player's threads wake it when there is news.
    std::unique_ptr<platform::ThreadWakeup> wakeup_;
    std::vector<unsigned char> frame_;
    int wantedAudioId_ = 0;
    int wantedSubtitleId_ = 0;
    bool dvd_ = false;
    int playedAudioId_ = 0;
    int shownSubtitleId_ = 0;
    // What the DVD stream reads passes through the tap; the overlay draws the subtitle in the
    // title's colours when its palette is known (the player then shows none of its own).
    std::shared_ptr<SubpictureTap> tap_;
    std::unique_ptr<SubtitleOverlay> overlay_;
};

}  // namespace orvex::preview
