#include "ifoinfo/stream_descriptions.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <string_view>

namespace orvex::ifoinfo {

namespace {

struct Language {
    std::string_view code;
    std::string_view name;
};

// Languages found on discs, named as their speakers write them (in ASCII).
constexpr std::array<Language, 44> kLanguages = {{
    {"ar", "Arabic"},      {"bg", "Bulgarian"},  {"ca", "Catala"},     {"cs", "Cesky"},
    {"cy", "Cymraeg"},     {"da", "Dansk"},      {"de", "Deutsch"},    {"el", "Ellinika"},
    {"en", "English"},     {"es", "Espanol"},    {"et", "Eesti"},      {"eu", "Euskara"},
    {"fa", "Farsi"},       {"fi", "Suomi"},      {"fr", "Francais"},   {"ga", "Gaeilge"},
    {"gl", "Galego"},      {"he", "Hebrew"},     {"hi", "Hindi"},      {"hr", "Hrvatski"},
    {"hu", "Magyar"},      {"id", "Indonesia"},  {"is", "Islenska"},   {"it", "Italiano"},
    {"ja", "Japanese"},    {"ko", "Korean"},     {"lt", "Lietuviu"},   {"lv", "Latviesu"},
    {"ms", "Melayu"},      {"nl", "Nederlands"}, {"no", "Norsk"},      {"pl", "Polski"},
    {"pt", "Portugues"},   {"ro", "Romana"},     {"ru", "Russian"},    {"sk", "Slovensky"},
    {"sl", "Slovenscina"}, {"sr", "Srpski"},     {"sv", "Svenska"},    {"th", "Thai"},
    {"tr", "Turkce"},      {"uk", "Ukrainian"},  {"vi", "Tieng Viet"}, {"zh", "Chinese"},
}};

std::string hexId(int id) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", id & 0xff);
    return text;
}

}  // namespace

std::string languageName(uint16_t code) {
    const char first = static_cast<char>(std::tolower(code >> 8));
    const char second = static_cast<char>(std::tolower(code & 0xff));
    if (!std::islower(static_cast<unsigned char>(first)) ||
        !std::islower(static_cast<unsigned char>(second))) {
        return "Unknown";
    }
    const std::string key{first, second};
    for (const Language& l : kLanguages) {
        if (l.code == key) {
            return std::string(l.name);
        }
    }
    return key;
}

std::string videoDescription(int mpegVersion, int videoFormat, int aspect, int pictureSize) {
    const bool pal = videoFormat == 1;
    static constexpr std::array<int, 4> kWidths = {720, 704, 352, 352};
    const int width = kWidths[static_cast<size_t>(pictureSize & 3)];
    const int height = (pal ? 576 : 480) / (pictureSize == 3 ? 2 : 1);
    std::string text = mpegVersion == 0 ? "MPEG-1 " : mpegVersion == 1 ? "MPEG-2 " : "MPEG-? ";
    text += std::to_string(width) + "x" + std::to_string(height);
    text += videoFormat == 0 ? " NTSC" : pal ? " PAL" : " ?";
    text += aspect == 0 ? " 4:3" : aspect == 3 ? " 16:9" : " ?";
    return text;
}

int audioStreamBase(int audioFormat) {
    switch (audioFormat) {
        case 0:
            return 0x80;  // AC-3
        case 2:
        case 3:
            return 0xc0;  // MPEG-1, MPEG-2 extended
        case 4:
            return 0xa0;  // LPCM
        case 6:
            return 0x88;  // DTS
        default:
            return 0;
    }
}

std::string audioDescription(const std::string& language, int audioFormat, int channels,
                             int streamId) {
    static constexpr std::array<std::string_view, 8> kFormats = {"AC-3", "?", "MPEG-1", "MPEG-2",
                                                                 "LPCM", "?", "DTS",    "SDDS"};
    std::string text = language + " " +
                       std::string(kFormats[static_cast<size_t>(audioFormat & 7)]) + " " +
                       std::to_string(channels) + "ch";
    if (streamId != 0) {
        text += " (" + hexId(streamId) + ")";
    }
    return text;
}

std::string subpictureDescription(const std::string& language, int streamId) {
    return language + " (" + hexId(streamId) + ")";
}

}  // namespace orvex::ifoinfo
