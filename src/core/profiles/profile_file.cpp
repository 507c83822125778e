#include "core/profiles/profile_file.h"

#include <QFile>

#include "core/profiles/profile_catalog.h"

namespace {

QString lineText(QByteArray line) {
    if (line.endsWith('\n')) {
        line.chop(1);
    }
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    // The file is 8-bit text; Latin-1 keeps every byte as one character.
    return QString::fromLatin1(line);
}

}  // namespace

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

    ProfileRecord record;
    record.number = number;
    const int last = 4 * number;
    for (int lineNumber = 1; lineNumber <= last; ++lineNumber) {
        if (file.atEnd()) {
            break;
        }
        const QByteArray raw = file.readLine();
        if (raw.isEmpty() && file.error() != QFileDevice::NoError) {
            return fail(QStringLiteral("Cannot read the profile file \"%1\": %2")
                            .arg(path, file.errorString()));
        }
        const int place = lineNumber - (last - 4);  // 1..4 inside record N
        if (place < 1) {
            continue;
        }
        const QString text = lineText(raw);
        switch (place) {
            case 1:
                record.titleLine = text;
                break;
            case 2:
                record.sizeChoices = splitProfileList(text);
                break;
            case 3:
                record.rateLine = text;
                break;
            default:
                record.codecOptions = text;
                break;
        }
    }
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
