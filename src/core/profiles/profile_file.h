#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Record N of profiles.pop: lines 4N-3 (title, not interpreted), 4N-2 (size entries),
// 4N-1 (rate line) and 4N (codec options).
struct ProfileRecord {
    int number = 0;
    std::optional<QString> titleLine;
    std::optional<QStringList> sizeChoices;
    std::optional<QString> rateLine;
    std::optional<QString> codecOptions;
};

// Reads record N of profiles.pop at `path`. nullopt with *error set when the file is missing,
// cannot be read or is damaged (see profileFileDamage), or N is outside 1..131. Lines may end
// in LF or CR LF.
std::optional<ProfileRecord> readProfileRecord(const QString& path, int number,
                                               QString* error = nullptr);

// Why `contents` is not a profiles.pop of 131 records of four lines, naming the record and
// line, or nullopt when it is one. Each line is text of a sensible length; a size line is
// empty or entries of letters, digits, parentheses and hyphens that begin with a letter or
// digit; a rate line is "*" or whole numbers;
// a codec line is printable text. Lines after the last record may be blank only.
std::optional<QString> profileFileDamage(const QByteArray& contents);

// The largest profiles.pop read (the real one is some 30 KB).
inline constexpr qint64 kMaxProfileFileBytes = 1024 * 1024;

// Splits a size or rate line: entries are separated by single spaces; an empty entry ends
// the list (so a leading space or two spaces in a row end it early); a final entry of a
// single character is dropped.
QStringList splitProfileList(const QString& line);

// The rate line's values by quality level: the first value belongs to level 4 ("Lower
// Quliay"), the fifth to level 0. Levels the line does not reach stay nullopt; values beyond
// the fifth are ignored.
std::array<std::optional<QString>, 5> videoRatesOfRateLine(const QString& rateLine);
