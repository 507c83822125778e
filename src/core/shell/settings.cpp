#include "core/shell/settings.h"

#include <array>
#include <utility>

#include "platform/program_paths.h"

namespace {

const QString kPlane = QStringLiteral("plane");
const QString kOutput = QStringLiteral("output");
const QString kProfiles = QStringLiteral("profiles");
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

int Settings::selectedProfile(const QString& programFileName) const {
    return file_.readInt(kProfiles, QStringLiteral("selcetsubindex"),
                         nameDefaultProfile(programFileName));
}

int Settings::category() const {
    return file_.readInt(kProfiles, QStringLiteral("selcetindex"), 1);
}

int Settings::finishAction() const {
    return file_.readInt(kProfiles, QStringLiteral("FinishSelcet"), 0);
}

bool Settings::videoFirstPage() const {
    return file_.readInt(kPlane, QStringLiteral("video"), 1) != 0;
}

bool Settings::audioFirstPage() const {
    return file_.readInt(kPlane, QStringLiteral("audio"), 1) != 0;
}

bool Settings::stretch() const {
    return file_.readInt(kPicture, QStringLiteral("stretch"), 0) != 0;
}

bool Settings::save(const QString& outputPath, int profile, int category, int finishAction,
                    bool videoFirstPage, bool audioFirstPage, bool stretch) {
    bool ok = file_.writeString(kOutput, QStringLiteral("path"), outputPath);
    ok = file_.writeInt(kProfiles, QStringLiteral("selcetsubindex"), profile) && ok;
    ok = file_.writeInt(kProfiles, QStringLiteral("selcetindex"), category) && ok;
    ok = file_.writeInt(kProfiles, QStringLiteral("FinishSelcet"), finishAction) && ok;
    ok = file_.writeInt(kPlane, QStringLiteral("video"), videoFirstPage ? 1 : 0) && ok;
    ok = file_.writeInt(kPlane, QStringLiteral("audio"), audioFirstPage ? 1 : 0) && ok;
    ok = file_.writeInt(kPicture, QStringLiteral("stretch"), stretch ? 1 : 0) && ok;
    return ok;
}
