#pragma once

#include <QString>

#include "core/engine/job_list.h"

// How a run ended, counted over the rows it was meant to convert (a DVD row without its check
// mark never was): what every front end tells the user once the run is over.
struct RunOutcome {
    int finished = 0;
    int failed = 0;
    int stopped = 0;
    int notRun = 0;  // rows the run never reached (it was stopped before them)
    bool wasStopped = false;

    // The outcome of the run over `jobs` that just ended; `stoppedAt` is the row a Stop ended
    // it in, -1 when it ran to the end. Rows after a stopped one count as not run whatever an
    // earlier run left in them.
    static RunOutcome of(const JobList& jobs, int stoppedAt = -1);

    int total() const { return finished + failed + stopped + notRun; }
    // Every row the run was meant to convert was converted.
    bool succeeded() const { return !wasStopped && finished == total(); }

    // One line: "3 of 3 converted", "2 converted, 1 failed", "Stopped: 1 of 3 converted",
    // "Nothing converted: no row is ticked".
    QString text() const;
};
