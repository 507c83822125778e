#include "core/profiles/layout_variant.h"

namespace {

// Sizes the window definition gives the controls; a layout moves them and may change these.
constexpr int kListHeight = 22;
constexpr int kListWidth = 149;

QRect list(int left, int top, int width = kListWidth) {
    return QRect(left, top, width, kListHeight);
}

}  // namespace

QRect LayoutVariant::rectOf(const QString& control) const {
    for (const Placement& p : placements) {
        if (p.control == control) {
            return p.rect;
        }
    }
    return {};
}

bool LayoutVariant::isVisible(const QString& control) const {
    for (const Placement& p : placements) {
        if (p.control == control) {
            return p.visible;
        }
    }
    return false;
}

LayoutVariant layoutVariantOf(bool dvdEdition, bool kamzuBrand) {
    LayoutVariant v;
    v.subPanelOffset = kamzuBrand ? 180 : 220;
    v.firstColumnCaption = dvdEdition ? QStringLiteral("Title") : QStringLiteral("File Name");
    v.checkBoxes = dvdEdition;
    const int wide = kamzuBrand ? 168 : kListWidth;
    const int listLeft = kamzuBrand ? 554 : 576;
    const int listTop = kamzuBrand ? 121 : 128;
    const int listStep = 41;
    QRect lv;
    if (kamzuBrand) {
        lv = QRect(8, 121, 509, dvdEdition ? 298 : 316);
    } else {
        lv = QRect(12, 89, 535, dvdEdition ? 333 : 356);
    }
    QRect output(422, 66, 187, 14);
    if (kamzuBrand) {
        output.moveTo(94, 483);
    } else if (dvdEdition) {
        output.moveTo(82, 470);
    }
    const QPoint icon = kamzuBrand ? QPoint(96, dvdEdition ? 429 : 451) : QPoint(62, 64);
    const QPoint main =
        kamzuBrand ? (dvdEdition ? QPoint(90, 71) : QPoint(88, 90)) : QPoint(53, 81);
    const QPoint entries =
        kamzuBrand ? (dvdEdition ? QPoint(243, 71) : QPoint(241, 90)) : QPoint(206, 81);
    v.placements = {
        {QStringLiteral("ed_output"), output},
        {QStringLiteral("Panel1"), QRect(icon, QSize(16, 16))},
        {QStringLiteral("pl_main"), QRect(main, QSize(153, 358))},
        {QStringLiteral("entry panels"), QRect(entries, QSize(310, 358))},
        {QStringLiteral("cb_size"), list(listLeft, listTop, wide)},
        {QStringLiteral("cb_videobitrate"), list(listLeft, listTop + listStep, wide)},
        {QStringLiteral("cb_audiobitrate"), list(listLeft, listTop + 2 * listStep, wide)},
        {QStringLiteral("cb_channel"), list(listLeft, listTop + 3 * listStep, wide)},
        {QStringLiteral("pl_play"),
         QRect(kamzuBrand ? QPoint(546, 296) : QPoint(559, 294), QSize(176, 137))},
        {QStringLiteral("ProgressBar1"), QRect(15, kamzuBrand ? 503 : 496, 722, 12)},
        {QStringLiteral("lv"), lv},
        {QStringLiteral("cb_audio"), kamzuBrand ? list(90, 453, 177) : list(400, 61, 148),
         dvdEdition},
        {QStringLiteral("cb_subtitle"), kamzuBrand ? list(336, 453, 177) : list(596, 61, 144),
         dvdEdition},
    };
    return v;
}
