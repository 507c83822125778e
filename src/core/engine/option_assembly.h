#pragma once

#include <QString>

#include "core/engine/invocation.h"
#include "core/engine/job_list.h"
#include "core/profiles/profile_selection.h"

// Fills the option fields of rec (size, aspect, video, audio, rate, channel, disc target and
// profileArgs) from the current choices and row `row`'s record, in that order. durationSeconds
// is filled too. Returns false with *error set when a width, height, dimensions, videoKbps or
// audioKbps text it needs is malformed; rec is then not to be run.
bool assembleOptions(const ProfileSelection& selection, const JobList& jobs, int row,
                     intputrec& rec, QString* error);
