#pragma once

#include <QString>
#include <QtGlobal>

// The main window's shared run state. One instance, owned by whoever builds the core objects,
// handed to the others by reference. Touched on the user-interface thread only.
struct AppState {
    qint32 currentJob = 0;     // row being converted, or next row to look at
    bool converting = false;   // a conversion run is under way
    bool playing = false;      // the preview is playing
    bool probing = false;      // a media probe is under way (list commands are refused meanwhile)
    QString outputFolder;      // output folder of the current job, with a trailing separator
    qint32 finishAction = 0;   // 0 nothing, 1 open the output folder, 2 power off
    QString programFileName;   // the program's own file name without folder, as started
    qint32 progressBase = 0;   // hundredths of a percent credited before the first progress line

    bool isDvdEdition() const;
};
