#include "core/engine/picture_plan.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

using orvex::encoder::FrameRate;

// The rate a source of unknown speed runs at: what every job once used.
constexpr FrameRate kFallbackRate{25, 1};

// 4:2:0 pictures have whole chroma samples only at even sizes and offsets.
int evenAtMost(double value, int limit) {
    const int even = 2 * static_cast<int>(std::lround(value / 2));
    return std::clamp(even, 2, std::max(2, limit));
}

int evenOffset(int room) {
    return (room / 2) & ~1;
}

}  // namespace

double SourcePicture::shownAspect() const {
    if (facts.displayAspect > 0) {
        return facts.displayAspect;
    }
    return width > 0 && height > 0 ? static_cast<double>(width) / height : 0;
}

QString aspectText(double aspect) {
    return QString::number(QString::number(aspect, 'g', 5).toDouble(), 'f', 4);
}

PicturePlan planPicture(const std::optional<OutputFrame>& frame, const SourcePicture& source,
                        const orvex::encoder::FrameRateRule& rule, bool stretch) {
    PicturePlan plan;
    plan.rate = fitFrameRate(
        rule, source.facts.frameRate.isValid() ? source.facts.frameRate : kFallbackRate);
    // A constant rate in the filter itself: FFmpeg's -r alone neither fills the gaps of a
    // variable-rate source in AVI and Matroska nor ends on the source's last frame.
    QStringList filters{QStringLiteral("fps=") + QString::fromStdString(plan.rate.text())};
    if (frame && frame->width > 0 && frame->height > 0) {
        const double frameAspect = frame->shownAspect();
        const double sourceAspect = source.shownAspect();
        plan.aspect = aspectText(frameAspect);
        int width = frame->width;
        int height = frame->height;
        if (!stretch && sourceAspect > 0 &&
            std::fabs(sourceAspect / frameAspect - 1) > kShapeTolerance) {
            plan.bars = true;
            if (sourceAspect > frameAspect) {
                height = evenAtMost(frame->height * frameAspect / sourceAspect, frame->height);
            } else {
                width = evenAtMost(frame->width * sourceAspect / frameAspect, frame->width);
            }
            filters << QStringLiteral("scale=%1:%2").arg(width).arg(height)
                    << QStringLiteral("pad=%1:%2:%3:%4")
                           .arg(frame->width)
                           .arg(frame->height)
                           .arg(evenOffset(frame->width - width))
                           .arg(evenOffset(frame->height - height));
        }
        // The source's shown width: an anamorphic DVD's 720x576 shows as 1024x576.
        const double shownWidth = sourceAspect > 0 ? source.height * sourceAspect : source.width;
        if (source.height > 0 && (height > source.height + 1 || width > shownWidth + 1)) {
            plan.note = QStringLiteral("the picture is enlarged from %1x%2 to %3x%4")
                            .arg(source.width)
                            .arg(source.height)
                            .arg(width)
                            .arg(height);
        }
    }
    plan.filter = filters.join(QLatin1Char(','));
    return plan;
}
