#pragma once

#include <string>
#include <string_view>

#include "encoder/command_line.h"

namespace orvex::encoder {

// FFmpeg 5.1's RealMedia muxer stamps every audio packet with time 0 and gives the audio stream
// a duration of 0: it asks libavcodec for a codec's samples per packet without the packet, and
// only codecs of fixed packet length (AC-3, MP2) answer; aac and real_144 do not. Players then
// show no length and cannot seek. These mend the finished file in place.

// The samples in one audio packet of `codec` as FFmpeg writes RealMedia: 1024 for aac, 160 for
// real_144; 0 for codecs the muxer stamps right itself or that we do not know.
int realMediaAudioPacketSamples(std::string_view codec);

// Whether `cmd` writes RealMedia audio whose stamps restampRealMediaAudio must mend.
bool needsRealMediaRestamp(const CommandLine& cmd);

// Stamps audio packet n of the RealMedia file `path` with n x samplesPerPacket / sampleRate
// (in ms) and sets the audio stream's and the file's durations to match. false with *error set
// when the file is not a RealMedia file as FFmpeg writes it; the file is then left unchanged.
bool restampRealMediaAudio(const std::string& path, int samplesPerPacket, int sampleRate,
                           std::string* error);

}  // namespace orvex::encoder
