#include "platform/ini_file.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStandardPaths>

#include <limits>
#include <optional>
#include <utility>

#include "numbers/number_reader.h"

namespace platform {

namespace {

// One line of the file as it was read, with its line ending, so that a rewrite can give back
// every line it does not change byte for byte.
struct Line {
    QByteArray text;    // without the line ending
    QByteArray ending;  // "\n", "\r\n" or empty for a last line without one
};

QList<Line> splitLines(const QByteArray& data) {
    QList<Line> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype lf = data.indexOf('\n', start);
        if (lf < 0) {
            lines.append({data.mid(start), QByteArray()});
            break;
        }
        qsizetype end = lf;
        if (end > start && data.at(end - 1) == '\r') {
            --end;
        }
        lines.append({data.mid(start, end - start), data.mid(end, lf + 1 - end)});
        start = lf + 1;
    }
    return lines;
}

// "[name]" (blanks around allowed, text after "]" ignored, as Windows does) gives the name.
std::optional<QByteArray> sectionName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (!t.startsWith('[')) {
        return std::nullopt;
    }
    const qsizetype close = t.indexOf(']');
    if (close < 0) {
        return std::nullopt;
    }
    return t.mid(1, close - 1).trimmed();
}

// "key = value" gives the trimmed key and value; comments and lines without "=" give nothing.
std::optional<std::pair<QByteArray, QByteArray>> keyValue(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('#') || t.startsWith('[')) {
        return std::nullopt;
    }
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0) {
        return std::nullopt;
    }
    return std::make_pair(t.left(eq).trimmed(), t.mid(eq + 1).trimmed());
}

bool sameName(const QByteArray& a, const QString& b) {
    return QString::fromUtf8(a).compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

QByteArray readAllOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};  // a missing or unreadable file reads as empty: every value is its default
    }
    return f.readAll();
}

// The value of the first matching key in the first section of that name that holds it.
std::optional<QString> findValue(const QByteArray& data, const QString& section,
                                 const QString& key) {
    bool inSection = false;
    for (const Line& line : splitLines(data)) {
        if (const auto name = sectionName(line.text)) {
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (const auto kv = keyValue(line.text); kv && sameName(kv->first, key)) {
            QByteArray value = kv->second;
            // Windows strips one pair of surrounding quotes.
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"')) {
                value = value.mid(1, value.size() - 2);
            }
            return QString::fromUtf8(value);
        }
    }
    return std::nullopt;
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

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    return findValue(readAllOf(path_), section, key).value_or(defaultValue);
}

int IniFile::readInt(const QString& section, const QString& key, int defaultValue) const {
    const auto value = findValue(readAllOf(path_), section, key);
    if (!value) {
        return defaultValue;
    }
    const QByteArray latin = value->toLatin1();
    const std::optional<std::int64_t> n =
        orvex::numbers::integer(std::string_view(latin.data(), size_t(latin.size())),
                                std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    return n ? static_cast<int>(*n) : defaultValue;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QByteArray old = readAllOf(path_);
    QList<Line> lines = splitLines(old);
    // New lines take the file's own line ending, LF for a new file.
    QByteArray eol = "\n";
    for (const Line& l : lines) {
        if (!l.ending.isEmpty()) {
            eol = l.ending;
            break;
        }
    }
    const QByteArray newLine = key.trimmed().toUtf8() + '=' + value.toUtf8();

    qsizetype sectionAt = -1;   // line of the first section of that name
    qsizetype sectionEnd = -1;  // index after that section's last key line
    bool replaced = false;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size() && !replaced; ++i) {
        if (const auto name = sectionName(lines[i].text)) {
            if (inSection) {
                break;  // only the first section of that name is written, as it is the one read
            }
            inSection = sameName(*name, section);
            if (inSection) {
                sectionAt = i;
                sectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!lines[i].text.trimmed().isEmpty()) {
            sectionEnd = i + 1;
        }
        if (const auto kv = keyValue(lines[i].text); kv && sameName(kv->first, key)) {
            lines[i].text = newLine;
            replaced = true;
        }
    }
    if (!replaced) {
        if (sectionAt >= 0) {
            lines.insert(sectionEnd, {newLine, eol});
        } else {
            if (!lines.isEmpty() && lines.last().ending.isEmpty()) {
                lines.last().ending = eol;
            }
            lines.append({'[' + section.trimmed().toUtf8() + ']', eol});
            lines.append({newLine, eol});
        }
        // A line inserted after a last line that had no ending needs one between them.
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            if (lines[i].ending.isEmpty()) {
                lines[i].ending = eol;
            }
        }
    }

    QByteArray data;
    data.reserve(old.size() + newLine.size() + 16);
    for (const Line& l : lines) {
        data += l.text;
        data += l.ending;
    }
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
