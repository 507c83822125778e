#include "test_session.h"

#include <QFile>

#include "platform/program_paths.h"
#include "test_media.h"

namespace orvex::test {

std::unique_ptr<Session> makeTestSession(const QString& folder, const QString& programName,
                                         UserInterface& ui, platform::MachineActions& machine,
                                         std::unique_ptr<PreviewPlayer> player,
                                         std::unique_ptr<TitleSetReader> reader,
                                         std::shared_ptr<platform::Drives> drives) {
    SessionConfig config;
    config.programFileName = programName;
    config.folders = platform::ProgramFolders::inOne(folder);
    config.choices = std::make_unique<IniChoicesStore>(
        platform::IniFile(config.folders.data + platform::choicesFileName(programName)));
    config.settings =
        Settings(platform::IniFile(config.folders.data + platform::settingsFileName(programName)));
    config.player = std::move(player);
    config.titleSetReader = std::move(reader);
    config.drives = std::move(drives);
    return std::make_unique<Session>(std::move(config), ui, machine);
}

bool copyProfilesPop(const QString& folder) {
    const QString target = folder + QStringLiteral("/profiles.pop");
    QFile::remove(target);
    return QFile::copy(profilesPopPath(), target);
}

bool writeScript(const QString& path, const QByteArray& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) {
        return false;
    }
    f.close();
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace orvex::test
