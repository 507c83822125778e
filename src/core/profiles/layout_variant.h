#pragma once

#include <QList>
#include <QRect>
#include <QString>

// Where the main window's plain controls stand in one of the four layouts chosen by edition
// and brand, and what the job list looks like in it.
struct LayoutVariant {
    struct Placement {
        QString control;  // "lv", "ed_output", "cb_size", "pl_main", "entry panels", ...
        QRect rect;
        bool visible = true;
    };

    int subPanelOffset = 220;  // a sub-panel's distance from pl_video1's left edge
    QList<Placement> placements;
    QString firstColumnCaption;  // "File Name" or "Title"
    bool checkBoxes = false;

    // The placement of one control; an empty rect when the layout has none.
    QRect rectOf(const QString& control) const;
    bool isVisible(const QString& control) const;
};

// applyLayoutVariant's table.
LayoutVariant layoutVariantOf(bool dvdEdition, bool kamzuBrand);
