#pragma once

#include <QString>

#include "encoder/frame_rate.h"

// What a source's picture is beyond its stored size: the shape it is shown at and how fast it
// moves. Read by the media probe for files and from the IFO for DVD titles.
struct PictureFacts {
    double displayAspect = 0;  // width / height as shown, pixel shape counted; 0: not known
    orvex::encoder::FrameRate frameRate;  // not valid: not known

    // "16:9" (FFmpeg's DAR, or an IFO's flag) -> 1.7778; 0 when it is no ratio.
    static double aspectOfRatioText(const QString& text);
};
