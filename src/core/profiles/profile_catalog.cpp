#include "core/profiles/profile_catalog.h"

#include <initializer_list>
#include <utility>

namespace {

// Index = profile number; nullptr marks a blank slot. Names are wide text; the
// multiplication sign is U+00D7.
constexpr const char16_t* kDisplayNames[ProfileCatalog::kLastProfile + 1] = {
    nullptr,
    u"ASF-Advanced Streaming Format(*.asf)",
    u"AVI-DivX Movie(*.avi)",
    u"AVI-XviD Movie(*.avi)",
    u"MP4-MPEG-4 Video(*.mp4)",
    u"MP4-MPEG-4 AVC Video(*.mp4)",
    u"RM-Real Video(*.rm)",
    u"WMV-Windows Media Video(*.wmv)",
    u"3GPP-3rd Generation Partnership Project(*.3gp)",
    u"3GPP2-3rd Generation Partnership Project2(*.3g2)",
    u"MOV-Quick Time(*.mov)",  // 10
    u"FLV - Flash Video Format(*.flv)",
    u"SWF - SWF Format(*.swf)",
    u"RM-Real Video(*.rm)",
    u"WMV-Windows Media Video(*.wmv)",
    u"AAC-Advanced Audio Coding(*.aac)",
    u"AC3-Dolby Dingtal AC-3(*.ac3)",
    u"MP3-MPEG Layer-3Audio(*.mp3)",
    u"OGG-Ogg Vorbis Audio(*.ogg)",
    u"RA-Real Auido(*.ra)",
    u"WAV-Waveform Auido(*.wav)",  // 20
    u"WMA-Windows Media Audio(*.wma)",
    u"AIFF-Audio Interchange File Format(*.aiff)",
    u"M4A-MPEG-4 Auido(*.m4a)",
    u"MP2-MPEG Layer-2 Audio(*.mp2)",
    u"SUN AU Format(*.au)",
    nullptr,  // 26
    u"iPod(320\u00D7240)MPEG-4 Codec(*.mp4)",
    u"iPod(320\u00D7240)MPEG-4 AVC Codec(*.mp4)",
    u"iPod(480\u00D7320)MPEG-4 Codec(*.mp4)",
    u"iPod(480\u00D7320)MPEG-4 AVC Codec(*.mp4)",  // 30
    u"iPod(640\u00D7480)MPEG-4 Codec(*.mp4)",
    u"iPod(640\u00D7480)MPEG-4 AVC Codec(*.mp4)",
    nullptr,  // 33
    u"iPhone(320\u00D7240)MPEG-4 Codec(*.mp4)",
    u"iPhone(320\u00D7240)MPEG-4 AVC Codec(*.mp4)",
    u"iPhone(480\u00D7320)MPEG-4 Codec(*.mp4)",
    u"iPhone(480\u00D7320)MPEG-4 AVC Codec(*.mp4)",
    u"iPhone(640\u00D7480)MPEG-4 Codec(*.mp4)",
    u"iPhone(640\u00D7480)MPEG-4 AVC Codec(*.mp4)",
    nullptr,  // 40
    u"GPhone(320\u00D7240)MPEG-4 Codec(*.mp4)",
    u"GPhone(320\u00D7240)H.264 Codec(*.mp4)",
    u"GPhone(640\u00D7480)MPEG-4 Codec(*.mp4)",
    u"GPhone(640\u00D7480)H.264 Codec(*.mp4)",
    nullptr,  // 45
    u"Apple TV MPEG-4 480P(640\u00D7480)(*.mp4)",
    u"Apple TV MPEG-4 720P(1280\u00D7720)(*.mp4)",
    u"Apple TV MPEG-4 (320\u00D7240)(*.mp4)",
    u"Apple TV h264 480P(640\u00D7480)(*.mp4)",
    u"Apple TV h264 720P(1280\u00D7720)(*.mp4)",  // 50
    u"Apple TV h264(320\u00D7240)(*.mp4)",
    nullptr,  // 52
    u"PS3 Video(1080P)MPEG-4(*.MP4)",
    u"PS3 Video(720P)MPEG-4(*.MP4)",
    u"PS3 Video(480P)MPEG-4(*.MP4)",
    u"PSP-PSP MPEG-4 Video(*.mp4)",
    u"PSP AVC Video Format(*.mp4)",
    u"PSP Video(480P)MPEG-4(*.mp4)",
    nullptr,                      // 59
    u"Xbox360 WMV Movie(*.wmv)",  // 60
    u"Xbox360 WMV HDTV Video(*.wmv)",
    u"Xbox360 MPEG-4 AVC Video(*.mp4)",
    u"Xbox360 HD MPEG-4 AVC Video(*.mp4)",
    u"Xbox360 MPEG4 Video(*.mp4)",
    u"Xbox360 HD MPEG-4 Video(*.mp4)",
    u"Xbox360 MCE HD MPEG2 Video(*.mpeg)",
    nullptr,  // 67
    u"3GPP-3rd Generation Partnership Project(*.3gp)",
    u"3GPP2-3rd Generation Partnership Project2(*.3g2)",
    u"BlackBerry 3GP Video(*.3gp)",  // 70
    u"BlackBerry AMR Audio(*.amr)",
    u"BlackBerry AVI Audio(*.avi)",
    u"BlackBerry MPEG-4 Video(*.mp4)",
    nullptr,  // 74
    u"Dell Axim X51 Video(*.wmv)",
    u"General Pocket PC Video(*.wmv)",
    u"HP iPAQ hw6500 series Video(*.wmv)",
    u"HP iPAQ hx2000/rx3000/rx1900 series Video(*.wmv)",
    u"HP iPAQ hx4700 series Video(*.wmv)",
    u"WMA-Windows Media Audio(*.wma)",  // 80
    u"WMV-Windows Media Video(*.wmv)",
    nullptr,  // 82
    u"Archos AV500/GMini402 Video(*.avi)",
    u"Archos AV700 Video(*.avi)",
    u"Creative Zen Vision Video(*.avi)",
    u"Zune MPEG-4 AVC Video Format(*.mp4)",
    u"Zune MPEG-4 Video(*.mp4)",
    u"Zune WMV-Windows Media Video(*.wmv)",
    u"iRiver PMP-100 Video(*.avi)",
    nullptr,  // 90
    u"HD AVI Video(*.avi)",
    u"HD MPEG-4 Video(*.mp4)",
    u"HD MPEG-4 AVC Video(*.mp4)",
    u"HD MOV Video(*.mov)",
    u"HD MPEG-2 TS Video(*.ts)",
    u"HD MPEG2 Video(*.mpg)",
    u"HD WMV Video(*.wmv)",
    nullptr,  // 98
    u"FLV - Flash Video Format(*.flv)",
    u"SWF - SWF Format(*.swf)",  // 100
    nullptr,                     // 101
    u"AVI - H264 Movie(*.avi)",
    u"AVI - DivX Movie(*.avi)",
    u"AVI - XviD Movie(*.avi)",
    u"AVI - MPEG-4 Movie(*.avi)",
    u"AVI - MSMPEG4 Movie(*.avi)",
    u"AVI - MPEG Movie(*.avi)",
    u"AVI - WMV Movie(*.avi)",
    nullptr,                 // 109
    u"MPEG-1 Movie(*.mpg)",  // 110
    u"MPEG-2 Movie(*.mpg)",
    u"Video CD - MPEG PS Format(*.mpg)",
    u"Super Video CD - MPEG2 PS Format(*.mpg)",
    u"DVD - MPEG2 PS Format(*.vob)",
    u"HD MPEG-2 Video(*.mpeg)",
    u"HD MPEG-2 TS Video(*.ts)",
    nullptr,  // 117
    u"MP4 - MPEG4 Video Mini(*.mp4)",
    u"MP4 - MPEG4 Video Normal(*.mp4)",
    u"MP4 - MPEG4 Video Excellent(*.mp4)",  // 120
    u"MP4 - H.264 Video Mini(*.mp4)",
    u"MP4 - H.264 Video Normal(*.mp4)",
    u"MP4 - H.264 Video Excellent(*.MP4)",
    nullptr,  // 124
    u"MKV - H264 Movie(*.mkv)",
    u"MKV - DivX Movie(*.mkv)",
    u"MKV - XviD Movie(*.mkv)",
    u"MKV - MPEG-4 Movie(*.mkv)",
    u"MKV - MSMPEG4 Movie(*.mkv)",
    u"MKV - MPEG Movie(*.mkv)",  // 130
    u"MKV - WMV Movie(*.mkv)",
};

struct Span {
    int first;
    int last;
};

bool inAny(int number, std::initializer_list<Span> spans) {
    for (const Span& s : spans) {
        if (number >= s.first && number <= s.last) {
            return true;
        }
    }
    return false;
}

struct Group {
    Span numbers;
    int category;
    const char* name;
};

constexpr Group kGroups[] = {
    {{1, 14}, 1, "General video"},
    {{15, 26}, 2, "Audio"},
    {{27, 33}, 3, "iPod"},
    {{34, 40}, 4, "iPhone"},
    {{41, 45}, 5, "GPhone"},
    {{46, 52}, 6, "Apple TV"},
    {{53, 59}, 7, "PS3 and PSP"},
    {{60, 67}, 8, "Xbox 360"},
    {{68, 74}, 9, "Mobile phone"},
    {{75, 82}, 10, "Pocket PC"},
    {{83, 90}, 11, "Portable player"},
    {{91, 98}, 12, "HD"},
    {{99, 101}, 13, "Animation"},
    {{102, 109}, 1, "AVI"},
    {{110, 117}, 1, "MPEG"},
    {{118, 124}, 1, "MP4"},
    {{125, 131}, 1, "MKV"},
};

const Group* groupRow(int number) {
    for (const Group& g : kGroups) {
        if (number >= g.numbers.first && number <= g.numbers.last) {
            return &g;
        }
    }
    return nullptr;
}

// Default item index of the size list (before the DVD edition's adjustment).
int defaultSizeIndex(int number, bool dvdEdition) {
    if (inAny(number, {{1, 1},
                       {27, 32},
                       {34, 39},
                       {41, 44},
                       {46, 51},
                       {53, 54},
                       {56, 57},
                       {60, 60},
                       {70, 70},
                       {72, 73},
                       {75, 76},
                       {78, 79},
                       {81, 81},
                       {86, 88},
                       {112, 116}})) {
        return 0;
    }
    if (inAny(number, {{7, 7}, {14, 14}, {69, 69}, {77, 77}, {83, 85}, {89, 89}})) {
        return 1;
    }
    if (inAny(number, {{8, 9}, {55, 55}, {58, 58}, {61, 66}, {68, 68}, {91, 97}, {111, 111}})) {
        return 2;
    }
    if (inAny(number, {{4, 4}, {110, 110}, {118, 123}})) {
        return dvdEdition ? 2 : 5;
    }
    // 2, 3, 5, 6, 10..13, 99, 100, 102..108, 125..131.
    return 4;
}

}  // namespace

const QString ProfileCatalog::kSizeKey = QStringLiteral("size");
const QString ProfileCatalog::kVideoKey = QStringLiteral("video bitrate");
const QString ProfileCatalog::kAudioKey = QStringLiteral("audio bitrate");
const QString ProfileCatalog::kChannelKey = QStringLiteral("Channel");

const QString ProfileCatalog::kOriginalSize = QStringLiteral("The original width and height");
const QString ProfileCatalog::kOriginalVideo = QStringLiteral("The Original Video Quliay");
const QString ProfileCatalog::kOriginalAudio = QStringLiteral("The Original Audio Quliay");
const QString ProfileCatalog::kNoVideo = QStringLiteral("No Video");
const QString ProfileCatalog::kPal = QStringLiteral("PAL");
const QString ProfileCatalog::kNtsc = QStringLiteral("NTSC");

const std::array<QString, ProfileCatalog::kQualityLevels>& ProfileCatalog::qualityNames() {
    static const std::array<QString, kQualityLevels> names = {
        QStringLiteral("Higher quality"), QStringLiteral("High quality"), QStringLiteral("Normal"),
        QStringLiteral("Low Quliay"), QStringLiteral("Lower Quliay")};
    return names;
}

const std::array<QString, 2>& ProfileCatalog::channelNames() {
    static const std::array<QString, 2> names = {QStringLiteral("Mono"), QStringLiteral("Stereo")};
    return names;
}

std::optional<QString> ProfileCatalog::displayNameOf(int number) {
    if (!isProfileNumber(number) || kDisplayNames[number] == nullptr) {
        return std::nullopt;
    }
    return QString::fromUtf16(kDisplayNames[number]);
}

QString ProfileCatalog::extensionOf(const QString& displayName) {
    const qsizetype star = displayName.indexOf(QLatin1Char('*'));
    if (star < 0) {
        return {};
    }
    const qsizetype start = star + 1;
    const qsizetype length = displayName.size() - 1 - start;
    if (length <= 0) {
        return {};
    }
    return displayName.mid(start, length);
}

int ProfileCatalog::categoryOf(int number) {
    const Group* g = groupRow(number);
    return g ? g->category : 0;
}

QString ProfileCatalog::groupOf(int number) {
    const Group* g = groupRow(number);
    return g ? QString::fromLatin1(g->name) : QString();
}

QList<ChoiceDefault> ProfileCatalog::defaultChoicesOf(int number, bool dvdEdition) {
    if (!hasChoicesSection(number)) {
        return {};
    }
    // 131 has the defaults of its MKV neighbours 125..130.
    const bool originalByDefault = inAny(number, {{1, 14}, {102, 114}, {125, 131}});
    const int quality = (!dvdEdition && originalByDefault) ? 5 : 2;
    const int stereo = 1;
    if (isAudioOnly(number)) {
        return {{kAudioKey, quality}, {kChannelKey, stereo}};
    }
    return {{kSizeKey, defaultSizeIndex(number, dvdEdition)},
            {kVideoKey, quality},
            {kAudioKey, quality},
            {kChannelKey, stereo}};
}

bool ProfileCatalog::isMobileAudioExtension(const QString& extension) {
    return extension == QLatin1String(".3gp") || extension == QLatin1String(".amr");
}

bool ProfileCatalog::isMp4Extension(const QString& extension) {
    return extension == QLatin1String(".mp4");
}

const std::array<int, ProfileCatalog::kQualityLevels>& ProfileCatalog::audioRates() {
    static constexpr std::array<int, kQualityLevels> rates = {320, 192, 128, 64, 32};
    return rates;
}

const std::array<double, ProfileCatalog::kQualityLevels>& ProfileCatalog::amrRates() {
    static constexpr std::array<double, kQualityLevels> rates = {12.2, 10.2, 7.4, 5.9, 4.75};
    return rates;
}

const std::array<double, ProfileCatalog::kQualityLevels>& ProfileCatalog::videoFactors(int number) {
    static constexpr std::array<double, kQualityLevels> standard = {6.25, 4.16, 3.33, 2.13, 1.51};
    static constexpr std::array<double, kQualityLevels> mini = {3.33, 2.13, 1.51, 1.06, 0.8};
    static constexpr std::array<double, kQualityLevels> normal = {6.25, 4.16, 3.33, 2.13, 1.51};
    static constexpr std::array<double, kQualityLevels> excellent = {10.41, 8.33, 6.25, 4.16, 3.33};
    switch (number) {
        case 118:
        case 121:
            return mini;
        case 119:
        case 122:
            return normal;
        case 120:
        case 123:
            return excellent;
        default:
            return standard;
    }
}

std::optional<int> ProfileCatalog::discTotalKbps(int number) {
    switch (number) {
        case 112:
            return 1393;
        case 113:
            return 1948;
        case 114:
            return 3222;
        default:
            return std::nullopt;
    }
}

QString ProfileCatalog::discTargetSuffix(int number) {
    switch (number) {
        case 112:
            return QStringLiteral("-vcd ");
        case 113:
            return QStringLiteral("-svcd ");
        case 114:
            return QStringLiteral("-dvd ");
        default:
            return {};
    }
}

std::optional<std::array<int, 2>> ProfileCatalog::discFrameSize(int number, bool pal) {
    switch (number) {
        case 112:
            return pal ? std::array{352, 288} : std::array{352, 240};
        case 113:
            return pal ? std::array{480, 576} : std::array{480, 480};
        case 114:
            return pal ? std::array{720, 576} : std::array{720, 480};
        default:
            return std::nullopt;
    }
}
