#include "platform/ini_file.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <limits>
#include <utility>

#include "numbers/number_reader.h"
#include "platform/ini_text.h"

namespace platform {

namespace {

// A settings file of this size is not one: its bytes are not read at all.
constexpr qint64 kMaxBytes = 1024 * 1024;

QByteArray readAllOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxBytes) {
        return {};  // a missing or unreadable file reads as empty: every value is its default
    }
    return f.read(kMaxBytes);
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QString IniFile::readProblem() const {
    const QFileInfo info(path_);
    if (!info.exists()) {
        return {};
    }
    QFile f(path_);
    QString why;
    if (info.isDir()) {
        why = QStringLiteral("it is a folder");
    } else if (!f.open(QIODevice::ReadOnly)) {
        why = f.errorString();
    } else if (f.size() > kMaxBytes) {
        why = QStringLiteral("%1 bytes are far too many for a settings file").arg(f.size());
    } else if (IniText(f.readAll()).hasBinaryBytes()) {
        return QStringLiteral(
                   "%1 holds bytes that are not text; only the lines that can be "
                   "read are used.")
            .arg(QDir::toNativeSeparators(path_));
    } else {
        return {};
    }
    return QStringLiteral("Cannot read %1 (%2); the defaults are used instead.")
        .arg(QDir::toNativeSeparators(path_), why);
}

IniFile IniFile::inDefaultFolder(const QString& bareName) {
    return IniFile(defaultFolder() + bareName);
}

QString IniFile::defaultFolder() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return QDir::cleanPath(base + QStringLiteral("/orvex")) + QLatin1Char('/');
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    return IniText(readAllOf(path_)).value(section, key);
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    return value(section, key).value_or(defaultValue);
}

int IniFile::readInt(const QString& section, const QString& key, int defaultValue) const {
    const std::optional<QString> text = value(section, key);
    if (!text) {
        return defaultValue;
    }
    const QByteArray latin = text->toLatin1();
    const std::optional<std::int64_t> n =
        orvex::numbers::integer(std::string_view(latin.data(), size_t(latin.size())),
                                std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    return n ? static_cast<int>(*n) : defaultValue;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QByteArray old = readAllOf(path_);
    const QByteArray data = IniText(old).withValue(section, key, value);
    if (data == old && QFile::exists(path_)) {
        return true;
    }

    const QFileInfo info(path_);
    if (!QDir().mkpath(info.absolutePath())) {
        return false;
    }
    // QSaveFile writes a temporary file beside the target and renames it over the old one only
    // when everything was written, so a failed write leaves the old file whole.
    // Unbuffered: a buffered write only fails inside commit(), where Qt 6.4 does not notice
    // the failure and would rename a cut-off file over the old one.
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return false;
    }
    if (out.write(data) != data.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

bool IniFile::writeInt(const QString& section, const QString& key, int value) {
    return writeString(section, key, QString::number(value));
}

}  // namespace platform
