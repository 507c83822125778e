#include "previewlib/preview.h"

#include <optional>

#include "previewlib/mpv_playback.h"
#include "previewlib/preview_diagnostics.h"

namespace {

using orvex::preview::MpvPlayback;

// The contract is a set of free functions, so its state is the library's: all of it is used
// on the user-interface thread only.
struct LibraryState {
    MpvPlayback::Target target;
    std::optional<double> startAt;
    MpvPlayback* current = nullptr;
    PreviewTracks lastTracks;
};

LibraryState& state() {
    static LibraryState s;
    return s;
}

}  // namespace

void InitPreviewWindow(void* handle, int32_t width, int32_t height) {
    state().target.surface = static_cast<PreviewSurface*>(handle);
    state().target.width = width;
    state().target.height = height;
}

void SetEventFuntion(PreviewPositionCallback callback) {
    state().target.onPosition = callback;
}

void Seek(int32_t seconds) {
    LibraryState& s = state();
    if (s.current != nullptr) {
        s.current->seek(seconds);
    } else {
        s.startAt = seconds;
    }
}

void Play(const char* source) {
    LibraryState& s = state();
    const std::optional<double> start = s.startAt;
    s.startAt.reset();
    if (s.current != nullptr || source == nullptr || *source == '\0') {
        return;
    }
    MpvPlayback playback(s.target);
    s.current = &playback;
    playback.run(source, start);
    s.current = nullptr;
    s.lastTracks = {playback.playedAudioId(), playback.shownSubtitleId()};
}

void Pause(void) {
    if (state().current != nullptr) {
        state().current->togglePause();
    }
}

void Stop(void) {
    if (state().current != nullptr) {
        state().current->stop();
    }
}

PreviewTracks previewLastTracks() {
    return state().lastTracks;
}
