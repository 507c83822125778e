#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "core/engine/job_list.h"

// The job list as kept on disk while the program runs, so that a run that is killed (a crash, a
// power cut, kill -9) can be taken up again: the rows (source, what its probe found, the check
// mark, the DVD stream choices), which of them finished, and the profile, choices and output
// folder of the run.
struct SavedJobs {
    struct Row {
        JobList::Row row;  // its caption, record, source, check mark and stream choices
        bool finished = false;
    };

    QString program;  // the program file name that saved it
    int profile = 0;
    // The item indexes of the size, video, audio and channel lists.
    std::array<int, 4> choices{-1, -1, -1, -1};
    QString outputText;
    std::vector<Row> rows;

    // The rows that did not finish.
    int unfinished() const;

    QByteArray toJson() const;
    // nullopt with *error set when the text is not a saved job list (damaged or foreign).
    static std::optional<SavedJobs> fromJson(const QByteArray& text, QString* error);
};
