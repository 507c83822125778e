#include "core/profiles/profile_file.h"

#include <QFile>

#include "core/profiles/profile_catalog.h"

namespace {

// Real lines are well under 200 characters; a line far longer is damage, not a profile.
constexpr qsizetype kMaxLineBytes = 1024;
constexpr int kLinesPerRecord = 4;

// The file's lines without their line ends (LF or CR LF); a last line without one counts.
QList<QByteArray> linesOf(const QByteArray& contents) {
    QList<QByteArray> lines = contents.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();  // the end of the last line, not a line
    }
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    return lines;
}

// The file is 8-bit text; Latin-1 keeps every byte as one character.
QString lineText(const QByteArray& line) {
    return QString::fromLatin1(line);
}

bool isPrintable(const QByteArray& line, bool eightBit) {
    for (const char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\t') || c == 0x7f || (c >= 0x80 && !eightBit)) {
            return false;
        }
    }
    return true;
}

bool isAlphanumeric(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Entries such as "320x240", "352x240(SIF-NTSC)": a letter or digit first, then letters,
// digits, parentheses and hyphens. Never an option ("-vcodec").
bool isSizeLine(const QByteArray& line) {
    bool entryStart = true;
    for (const char c : line) {
        if (c == ' ') {
            entryStart = true;
            continue;
        }
        const bool ok = isAlphanumeric(c) || (!entryStart && (c == '(' || c == ')' || c == '-'));
        if (!ok) {
            return false;
        }
        entryStart = false;
    }
    return true;
}

bool isRateLine(const QByteArray& line) {
    if (line == "*") {
        return true;
    }
    bool digit = false;
    for (const char c : line) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c != ' ') {
            return false;
        }
    }
    return digit;
}

// What is wrong with line `place` (1..4) of a record, or empty.
QString lineDamage(const QByteArray& line, int place) {
    if (line.size() > kMaxLineBytes) {
        return QStringLiteral("a line of %1 bytes").arg(line.size());
    }
    switch (place) {
        case 1:
            return isPrintable(line, true) ? QString() : QStringLiteral("its title is not text");
        case 2:
            return isSizeLine(line) ? QString()
                                    : QStringLiteral("its size line is not picture sizes");
        case 3:
            return isRateLine(line) ? QString() : QStringLiteral("its rate line is not rates");
        default:
            return isPrintable(line, false) ? QString()
                                            : QStringLiteral("its codec options are not text");
    }
}

}  // namespace

std::optional<QString> profileFileDamage(const QByteArray& contents) {
    if (contents.size() > kMaxProfileFileBytes) {
        return QStringLiteral("it is %1 bytes long, far more than 131 profiles take")
            .arg(contents.size());
    }
    const QList<QByteArray> lines = linesOf(contents);
    const qsizetype needed = qsizetype{kLinesPerRecord} * ProfileCatalog::kLastProfile;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int record = static_cast<int>(i / kLinesPerRecord) + 1;
        const int place = static_cast<int>(i % kLinesPerRecord) + 1;
        if (i >= needed) {
            if (!lines[i].trimmed().isEmpty()) {
                return QStringLiteral("line %1 follows the last record").arg(i + 1);
            }
            continue;
        }
        if (const QString why = lineDamage(lines[i], place); !why.isEmpty()) {
            return QStringLiteral("record %1 (line %2): %3").arg(record).arg(i + 1).arg(why);
        }
    }
    if (lines.size() < needed) {
        if (lines.isEmpty()) {
            return QStringLiteral("it is empty");
        }
        const qsizetype last = lines.size();  // the last line there is, 1-based
        return QStringLiteral("it is cut short in record %1 (it ends at line %2 of %3)")
            .arg((last - 1) / kLinesPerRecord + 1)
            .arg(last)
            .arg(needed);
    }
    return std::nullopt;
}

std::optional<ProfileRecord> readProfileRecord(const QString& path, int number, QString* error) {
    auto fail = [error](const QString& message) -> std::optional<ProfileRecord> {
        if (error) {
            *error = message;
        }
        return std::nullopt;
    };
    if (!ProfileCatalog::isProfileNumber(number)) {
        return fail(QStringLiteral("There is no profile number %1.").arg(number));
    }
    // QFile closes itself when it goes out of scope, on every path out of here.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("Cannot read the profile file \"%1\": %2")
                        .arg(path, file.errorString()));
    }
    // One byte more than allowed tells an overlong file without reading all of it.
    const QByteArray contents = file.read(kMaxProfileFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        return fail(QStringLiteral("Cannot read the profile file \"%1\": %2")
                        .arg(path, file.errorString()));
    }
    if (const std::optional<QString> damage = profileFileDamage(contents)) {
        return fail(QStringLiteral("The profile file \"%1\" is damaged: %2. Reinstall the "
                                   "program to restore it.")
                        .arg(path, *damage));
    }

    const QList<QByteArray> lines = linesOf(contents);
    const qsizetype first = qsizetype{kLinesPerRecord} * (number - 1);
    ProfileRecord record;
    record.number = number;
    record.titleLine = lineText(lines[first]);
    record.sizeChoices = splitProfileList(lineText(lines[first + 1]));
    record.rateLine = lineText(lines[first + 2]);
    record.codecOptions = lineText(lines[first + 3]);
    return record;
}

QStringList splitProfileList(const QString& line) {
    QStringList entries;
    qsizetype from = 0;
    while (true) {
        const qsizetype space = line.indexOf(QLatin1Char(' '), from);
        if (space < 0) {
            const QString rest = line.mid(from);
            if (rest.size() >= 2) {
                entries.append(rest);
            }
            break;
        }
        const QString entry = line.mid(from, space - from);
        if (entry.isEmpty()) {
            break;
        }
        entries.append(entry);
        from = space + 1;
    }
    return entries;
}

std::array<std::optional<QString>, 5> videoRatesOfRateLine(const QString& rateLine) {
    std::array<std::optional<QString>, 5> levels;
    const QStringList values = splitProfileList(rateLine);
    for (qsizetype i = 0; i < values.size() && i < 5; ++i) {
        levels[static_cast<size_t>(4 - i)] = values.at(i);
    }
    return levels;
}
