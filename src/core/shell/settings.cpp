#include "core/shell/settings.h"

#include <QDir>
#include <array>
#include <functional>
#include <utility>

#include "core/engine/whole_number.h"
#include "core/profiles/profile_catalog.h"
#include "platform/program_paths.h"

namespace {

const QString kPlane = QStringLiteral("plane");
const QString kOutput = QStringLiteral("output");
const QString kProfiles = QStringLiteral("profiles");
const QString kConvert = QStringLiteral("convert");
const QString kPicture = QStringLiteral("picture");

struct NameDefault {
    const char* word;
    int profile;
};

// Tested in this order: "avi" before "mp4", "mpeg" before "mp4", "rm" late (it hides in
// many words, "format" among them).
constexpr std::array<NameDefault, 11> kNameDefaults{{{"avi", 102},
                                                     {"psp", 53},
                                                     {"mpeg", 110},
                                                     {"mp4", 118},
                                                     {"mkv", 125},
                                                     {"ipod", 27},
                                                     {"iphone", 36},
                                                     {"gphone", 41},
                                                     {"wmv", 7},
                                                     {"rm", 6},
                                                     {"flv", 11}}};

// A whole-number key and the values it can hold.
struct IntKey {
    const QString& section;
    const char* key;
    std::function<bool(qint64)> usable;
};

bool isProfile(qint64 n) {
    return n >= ProfileCatalog::kFirstProfile && n <= ProfileCatalog::kLastProfile &&
           ProfileCatalog::displayNameOf(static_cast<int>(n)).has_value();
}

const IntKey kSelectedProfile{kProfiles, "selcetsubindex", isProfile};
const IntKey kCategory{kProfiles, "selcetindex", [](qint64 n) { return n >= 1 && n <= 14; }};
const IntKey kFinish{kProfiles, "FinishSelcet", [](qint64 n) { return n >= 0 && n <= 2; }};
const IntKey kVideoPage{kPlane, "video", [](qint64 n) { return n == 0 || n == 1; }};
const IntKey kAudioPage{kPlane, "audio", [](qint64 n) { return n == 0 || n == 1; }};
// 0 is Automatic; a count above this machine's cores (a file from a larger one) is cut down
// when a run starts.
const IntKey kJobs{kConvert, "jobs", [](qint64 n) { return n >= 0 && n <= 1024; }};
const IntKey kStretch{kPicture, "stretch", [](qint64 n) { return n == 0 || n == 1; }};

// A value as it may be shown in a sentence: short, and only printable characters.
QString shown(const QString& value) {
    QString out;
    for (const QChar c : value.left(32)) {
        out += c.isPrint() ? c : QChar(u'?');
    }
    return value.size() > 32 ? out + QStringLiteral("...") : out;
}

}  // namespace

Settings::Settings(platform::IniFile file) : file_(std::move(file)) {}

Settings Settings::forProgram(const QString& programFileName) {
    return Settings(
        platform::IniFile::inDefaultFolder(platform::settingsFileName(programFileName)));
}

int Settings::nameDefaultProfile(const QString& programFileName) {
    const QString lower = programFileName.toLower();
    for (const NameDefault& d : kNameDefaults) {
        if (lower.contains(QLatin1String(d.word))) {
            return d.profile;
        }
    }
    return 1;
}

QString Settings::outputPath() const {
    return file_.readString(kOutput, QStringLiteral("path"), platform::defaultOutputFolder());
}

namespace {

// The key's value when it is one it can hold.
std::optional<int> usableInt(const platform::IniFile& file, const IntKey& k) {
    const std::optional<QString> text = file.value(k.section, QLatin1String(k.key));
    if (!text) {
        return std::nullopt;
    }
    const std::optional<qint64> n = wholeNumber(*text, 999'999);
    return n && k.usable(*n) ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
}

}  // namespace

int Settings::selectedProfile(const QString& programFileName) const {
    return usableInt(file_, kSelectedProfile).value_or(nameDefaultProfile(programFileName));
}

int Settings::category() const {
    return usableInt(file_, kCategory).value_or(1);
}

int Settings::finishAction() const {
    return usableInt(file_, kFinish).value_or(0);
}

bool Settings::videoFirstPage() const {
    return usableInt(file_, kVideoPage).value_or(1) != 0;
}

bool Settings::audioFirstPage() const {
    return usableInt(file_, kAudioPage).value_or(1) != 0;
}

int Settings::jobsAtOnce() const {
    return static_cast<int>(usableInt(file_, kJobs).value_or(0));
}

QStringList Settings::unusableValues() const {
    QStringList said;
    for (const IntKey* k :
         {&kSelectedProfile, &kCategory, &kFinish, &kVideoPage, &kAudioPage, &kStretch, &kJobs}) {
        const std::optional<QString> text = file_.value(k->section, QLatin1String(k->key));
        if (text && !usableInt(file_, *k)) {
            said << QStringLiteral(
                        "%1 holds an unusable %2 in [%3] (\"%4\"); the default is "
                        "used instead.")
                        .arg(QDir::toNativeSeparators(file_.path()), QLatin1String(k->key),
                             k->section, shown(*text));
        }
    }
    return said;
}

bool Settings::stretch() const {
    return usableInt(file_, kStretch).value_or(0) != 0;
}

bool Settings::save(const QString& outputPath, int profile, int category, int finishAction,
                    bool videoFirstPage, bool audioFirstPage, bool stretch, int jobsAtOnce) {
    bool ok = file_.writeString(kOutput, QStringLiteral("path"), outputPath);
    ok = file_.writeInt(kProfiles, QStringLiteral("selcetsubindex"), profile) && ok;
    ok = file_.writeInt(kProfiles, QStringLiteral("selcetindex"), category) && ok;
    ok = file_.writeInt(kProfiles, QStringLiteral("FinishSelcet"), finishAction) && ok;
    ok = file_.writeInt(kPlane, QStringLiteral("video"), videoFirstPage ? 1 : 0) && ok;
    ok = file_.writeInt(kPlane, QStringLiteral("audio"), audioFirstPage ? 1 : 0) && ok;
    ok = file_.writeInt(kPicture, QStringLiteral("stretch"), stretch ? 1 : 0) && ok;
    ok = file_.writeInt(kConvert, QStringLiteral("jobs"), jobsAtOnce) && ok;
    return ok;
}
