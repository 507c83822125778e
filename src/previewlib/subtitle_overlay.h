#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dvdsectors/title_palette.h"
#include "previewlib/subpicture_tap.h"

struct AVCodecContext;

namespace orvex::preview {

// DVD subtitles drawn by the preview itself, in the title's own colours: the player cannot be
// given a program stream's subtitle palette, so it would guess the colours. Units are decoded
// by FFmpeg's DVD subtitle decoder with the palette (as register.dat's conversions are) and
// drawn over the frames the player renders.
class SubtitleOverlay {
  public:
    explicit SubtitleOverlay(const dvd::SubtitlePalette& palette);
    ~SubtitleOverlay();
    SubtitleOverlay(const SubtitleOverlay&) = delete;
    SubtitleOverlay& operator=(const SubtitleOverlay&) = delete;

    // false when the decoder could not be opened (then nothing is drawn).
    bool ready() const { return decoder_ != nullptr; }
    void add(const SubpictureUnit& unit);
    // Units decoded so far.
    int decoded() const { return decoded_; }

    // Where the picture lies in a frame, and its own size (the subtitle's coordinates).
    struct Placement {
        int x = 0, y = 0, width = 0, height = 0;
        int pictureWidth = 720, pictureHeight = 576;
    };
    // Draws the subtitle showing at `seconds` of the stream's time into an RGBX frame.
    void draw(double seconds, unsigned char* frame, int stride, const Placement& placement) const;

  private:
    // A decoded subtitle: its time and its picture, ARGB, at its place in the picture.
    struct Shown {
        double from = 0, to = 0;
        int x = 0, y = 0, width = 0, height = 0;
        std::vector<uint32_t> argb;
    };

    AVCodecContext* decoder_ = nullptr;
    std::vector<Shown> shown_;
    int decoded_ = 0;
};

}  // namespace orvex::preview
