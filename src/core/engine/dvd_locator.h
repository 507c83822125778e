#pragma once

#include <QString>

#include "core/engine/job_records.h"

// The text that names a DVD row's title or chapter for the encoder and the preview:
// "vts://" set "*" startSector "*" endSector "*" audioStream "*" subtitleStream "*/" disc root.
// The set number is characters 5-6 of the IFO file name (VTS_01_0.IFO gives 01); the disc root
// is the IFO path before the separator in front of "video_ts" (any case), empty without one.
QString dvdLocator(const TConvertInfo& info);
