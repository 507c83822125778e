#include "platform/program_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/install/program_files.h"

namespace platform {

namespace {

QString withTrailingSeparator(const QString& folder) {
    if (folder.endsWith(QLatin1Char('/'))) {
        return folder;
    }
    return folder + QLatin1Char('/');
}

}  // namespace

ProgramFolders ProgramFolders::inOne(const QString& folder) {
    const QString beside = withTrailingSeparator(folder);
    return {beside, beside, false};
}

QString ProgramFolders::restoreAdvice() const {
    return installed ? QStringLiteral(
                           "Reinstall Orvex to restore it (from its package: sudo apt install "
                           "--reinstall orvex).")
                     : QString();
}

ProgramFolders programFolders() {
    // applicationFilePath() already follows /proc/self/exe; canonicalising also resolves a
    // linked folder, so the files are found from the real executable.
    const QString file = QCoreApplication::applicationFilePath();
    const QString canonical = QFileInfo(file).canonicalFilePath();
    const ProgramFiles found =
        programFilesOf(QFile::encodeName(canonical.isEmpty() ? file : canonical).toStdString());
    return {QFile::decodeName(found.helpers.c_str()), QFile::decodeName(found.data.c_str()),
            found.installed};
}

QString programFileNameFrom(const char* argv0) {
    if (argv0 == nullptr) {
        return {};
    }
    const QString given = QString::fromLocal8Bit(argv0);
    const qsizetype slash = given.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? given : given.mid(slash + 1);
}

QString settingsFileName(const QString& programFileName) {
    QString base = programFileName;
    if (base.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        base.chop(4);
    }
    // Only a dot that is not the first character starts an extension (".orvex" has none).
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        base.truncate(dot);
    }
    return base + QStringLiteral(".ini");
}

QString choicesFileName(const QString& programFileName) {
    return QStringLiteral("pro ") + settingsFileName(programFileName);
}

QString defaultOutputFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath() + QStringLiteral("/Videos");
    }
    return withTrailingSeparator(QDir::cleanPath(folder));
}

QString stateFolder() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return QDir::cleanPath(base + QStringLiteral("/orvex")) + QLatin1Char('/');
}

}  // namespace platform
