#pragma once

#include <QString>
#include <QtGlobal>

#include "core/engine/job_list.h"
#include "core/engine/run_clock.h"

// The words both front ends show for a run under way, rendered from the run clock's reading.

// "1:02:03", or "02:03" under an hour; never negative.
QString shortTime(qint64 seconds);

// "00:16 left for this file, 01:02 for the whole run". The run's figure only when the run has
// more than one job; empty until the job has a forecast.
QString timeLeftText(const JobList& jobs, const RunClock::Reading& reading,
                     const RunClock::Job& job);

// The window's status line: "Converting clip (1 of 3)  45.67%  ·  speed 2.1x  ·  00:16 left
// for this file, 01:02 for the whole run"; empty when no job runs.
QString runStatusLine(const JobList& jobs, const RunClock::Reading& reading);

// The command line's progress line: "[1/3] clip  45.67%  speed 2.1x  00:16 left for this
// file, 01:02 for the whole run"; empty when no job runs.
QString runProgressLine(const JobList& jobs, const RunClock::Reading& reading);
