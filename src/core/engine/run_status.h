#pragma once

#include <QString>
#include <QtGlobal>

#include "core/engine/job_list.h"
#include "core/engine/run_clock.h"

// The words both front ends show for a run under way, rendered from the run clock's reading.

// "1:02:03", or "02:03" under an hour; never negative.
QString shortTime(qint64 seconds);

// "01:02 left in all, 00:16 for this file" when the run has more than one job, else "00:16 left
// for this file" ("title" for a DVD row); empty until the job has a forecast.
QString timeLeftText(const JobList& jobs, const RunClock::Reading& reading,
                     const RunClock::Job& job);

// The window's status line: "Converting clip (1 of 3)  45.67%  ·  01:02 left in all, 00:16 for
// this file  ·  speed 2.1x", a long caption shortened; with several jobs running, the run's:
// "Converting 2 of 3 files  27.50%  ·  01:02 left in all  ·  speed 4.2x". Empty
// when no job runs.
QString runStatusLine(const JobList& jobs, const RunClock::Reading& reading);

// The command line's progress line: "[1/3] clip  45.67%  01:02 left in all, 00:16 for this
// file  speed 2.1x"; empty when no job runs.
QString runProgressLine(const JobList& jobs, const RunClock::Reading& reading);
