#pragma once

#include <cstdint>
#include <string>

namespace orvex::ifoinfo {

// The description texts of the IFO contract, from the attribute values of the IFO file. Every
// text is plain ASCII; values the DVD format does not define read as "?".

// The language's own name for a two-letter ISO 639 code stored as in the IFO (first letter in
// the high byte): 'de' gives "Deutsch". An unknown but well-formed code gives the code itself,
// anything else "Unknown".
std::string languageName(uint16_t code);

// "MPEG-2 720x576 PAL 16:9". mpegVersion 0/1, videoFormat 0 NTSC / 1 PAL, aspect 0 (4:3) or 3
// (16:9), pictureSize 0-3 as in the IFO's video attributes.
std::string videoDescription(int mpegVersion, int videoFormat, int aspect, int pictureSize);

// IFO audio coding (audio_format) and the base of its program-stream ids; 0 when the coding
// has no id of its own.
int audioStreamBase(int audioFormat);

// "English AC-3 6ch (0x80)"; the id part is left out when streamId is 0.
std::string audioDescription(const std::string& language, int audioFormat, int channels,
                             int streamId);

// "Deutsch (0x21)".
std::string subpictureDescription(const std::string& language, int streamId);

}  // namespace orvex::ifoinfo
