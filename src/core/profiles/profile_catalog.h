#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>

// One stored choice of a profile: the key in its section of the choices file and the item
// index used when the file holds no value for it.
struct ChoiceDefault {
    QString key;
    int index = 0;
};

// The fixed list of output profiles 1..131: names, extensions, picker placement, default
// choices, and the constant rate tables that sizing and option assembly use.
class ProfileCatalog {
  public:
    static constexpr int kFirstProfile = 1;
    static constexpr int kLastProfile = 131;
    static constexpr int kQualityLevels = 5;

    // Keys of the profile choices file.
    static const QString kSizeKey;
    static const QString kVideoKey;
    static const QString kAudioKey;
    static const QString kChannelKey;

    // List entries the logic recognises by text.
    static const QString kOriginalSize;   // "The original width and height"
    static const QString kOriginalVideo;  // "The Original Video Quliay"
    static const QString kOriginalAudio;  // "The Original Audio Quliay"
    static const QString kNoVideo;        // "No Video"
    static const QString kPal;
    static const QString kNtsc;
    // "Higher quality" .. "Lower Quliay", indexes 0..4; "Mono", "Stereo".
    static const std::array<QString, kQualityLevels>& qualityNames();
    static const std::array<QString, 2>& channelNames();

    static bool isProfileNumber(int number) {
        return number >= kFirstProfile && number <= kLastProfile;
    }
    // The display name; none for a blank slot or a number outside 1..131.
    static std::optional<QString> displayNameOf(int number);
    static bool isBlankSlot(int number) {
        return isProfileNumber(number) && !displayNameOf(number);
    }
    // Whether the profile keeps its choices in a section of its own (every named profile).
    static bool hasChoicesSection(int number) { return displayNameOf(number).has_value(); }

    // Text after the first "*" up to, not including, the last character: "(*.avi)" -> ".avi".
    // Case is kept. Empty when the name has no "*".
    static QString extensionOf(const QString& displayName);

    // Picker category 1..13; 0 outside 1..131.
    static int categoryOf(int number);
    // "General video", "Audio", "iPod", ..., "AVI", "MPEG", "MP4", "MKV"; empty outside 1..131.
    static QString groupOf(int number);

    // The keys the profile stores, in the order size, video, audio, channel (audio-only
    // profiles only the last two), with the edition's defaults. Empty for a blank slot.
    static QList<ChoiceDefault> defaultChoicesOf(int number, bool dvdEdition);

    // Ranges that steer sizing and option assembly.
    static bool isListRange(int number) { return number >= 15 && number <= 101; }
    static bool isDerivedRange(int number) { return number < 15 || number > 101; }
    static bool isDiscProfile(int number) { return number >= 112 && number <= 114; }
    static bool isAudioOnly(int number) {
        return (number >= 15 && number <= 25) || number == 71 || number == 80;
    }
    // ".3gp" and ".amr", compared exactly.
    static bool isMobileAudioExtension(const QString& extension);
    static bool isMp4Extension(const QString& extension);  // exactly ".mp4"

    // kbit/s per quality level 0..4.
    static const std::array<int, kQualityLevels>& audioRates();
    static const std::array<double, kQualityLevels>& amrRates();
    // kbit/s per line of picture height, per quality level, in the row the profile uses.
    static const std::array<double, kQualityLevels>& videoFactors(int number);
    // Fixed total kbit/s of a disc profile (112: 1393, 113: 1948, 114: 3222); none otherwise.
    static std::optional<int> discTotalKbps(int number);
    // "-vcd ", "-svcd ", "-dvd " for 112..114; empty otherwise.
    static QString discTargetSuffix(int number);
    // The picture size a disc profile's target writes for PAL or NTSC (DVD: 720x576, 720x480);
    // none for other profiles.
    static std::optional<std::array<int, 2>> discFrameSize(int number, bool pal);
    // Profiles made for a portable player, phone, set-top box or console (categories iPod to
    // Portable player), whose players show at most 30 frames a second.
    static bool isDeviceProfile(int number) {
        const int category = categoryOf(number);
        return category >= 3 && category <= 11;
    }

    ProfileCatalog() = delete;
};
