#pragma once

#include <QString>
#include <optional>

#include "core/engine/picture_facts.h"
#include "encoder/encoder_limits.h"

// The output frame a job writes: its size and the shape it is shown at.
struct OutputFrame {
    int width = 0;
    int height = 0;
    double displayAspect = 0;  // 0: width / height (square pixels)

    double shownAspect() const {
        return displayAspect > 0 ? displayAspect : static_cast<double>(width) / height;
    }
};

// The source as far as its picture goes.
struct SourcePicture {
    int width = 0;  // as stored; 0 when not known
    int height = 0;
    PictureFacts facts;

    // The shape it is shown at: its display aspect, else width / height, else 0.
    double shownAspect() const;
};

// How one job's picture fills its frame and how fast it runs.
struct PicturePlan {
    // The video filters, in order, without " -vf ": "fps=25,scale=640:360,pad=640:480:0:60".
    QString filter;
    // -aspect's value ("1.3333"); empty: the frame's shape needs no saying (a disc target
    // whose picture fills it).
    QString aspect;
    orvex::encoder::FrameRate rate;
    bool bars = false;  // the picture is scaled inside the frame and bordered with black
    // Said to the user, not to the encoder: "the picture is enlarged from 160x120 to 640x480".
    QString note;
};

// Picture shapes within this much of each other count as the same: no bars.
inline constexpr double kShapeTolerance = 0.02;

// The plan for a source written into `frame` (none: the source's own size) at a rate `rule`
// allows. `stretch` fills the frame whatever the source's shape, as the program once did;
// the frame's own shape is still what -aspect says. A source whose rate is not known runs at
// 25 frames a second.
PicturePlan planPicture(const std::optional<OutputFrame>& frame, const SourcePicture& source,
                        const orvex::encoder::FrameRateRule& rule, bool stretch);

// -aspect's text for a shape: at most five significant digits, written with four decimals
// (320x240 gives 1.3333, 2000x150 gives 13.3330).
QString aspectText(double aspect);
