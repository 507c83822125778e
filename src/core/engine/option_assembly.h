#pragma once

#include <QString>

#include "core/engine/invocation.h"
#include "core/engine/job_list.h"
#include "core/profiles/profile_selection.h"

// Fills the option fields of rec (size, aspect, video with its filters, audio, rate, channel,
// disc target and profileArgs) from the current choices and row `row`'s record and picture.
// durationSeconds and note are filled too. The picture keeps its shape inside the chosen size
// (black bars) unless `stretch`, and its frame rate where the encoder and device allow.
// Returns false with *error set when a width, height, dimensions, videoKbps or audioKbps text
// it needs is malformed; rec is then not to be run.
// The video codec an option text names: the value after its last "-vcodec" or "-c:v".
QString videoCodecOf(const QString& options);

bool assembleOptions(const ProfileSelection& selection, const JobList& jobs, int row,
                     intputrec& rec, QString* error, bool stretch = false);
