#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

#include "core/engine/job_records.h"

// The choices that decide a job's bit rates: the selected profile and what its four lists
// show at the moment.
struct RateChoices {
    int profile = -1;
    QString extension;  // of the selected profile's display name
    QString sizeEntry;  // cb_size's chosen text
    int videoLevel = -1;
    QString videoEntry;
    int audioLevel = -1;
    QString audioEntry;
    std::array<QString, 5> videoRates;  // "*" in the first marks a profile without video
};

// The bit rates a job gets. The size estimate and the encoder options both come from here,
// so the two always agree.
struct RatePlan {
    int videoKbps = 0;              // 0: no video rate (audio-only or no picture height)
    int audioKbps = 0;              // as counted in the total (AMR rates rounded)
    qint64 audioBitsPerSecond = 0;  // as handed to the encoder (AMR rates exact: 7400)
    int totalKbps = 0;              // video + audio, or a disc profile's fixed total
};

// The rates of `choices` for a source described by `info`. nullopt with *error set (a sentence
// naming the bad value) when a value it needs is not a whole number or no choice is made.
std::optional<RatePlan> planRates(const RateChoices& choices, const Toriginalinfo& info,
                                  QString* error = nullptr);
