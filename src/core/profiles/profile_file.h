#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// Record N of profiles.pop: lines 4N-3 (title, not interpreted), 4N-2 (size entries),
// 4N-1 (rate line) and 4N (codec options). A file that ends early leaves the later fields
// empty (nullopt), which is not an error.
struct ProfileRecord {
    int number = 0;
    std::optional<QString> titleLine;
    std::optional<QStringList> sizeChoices;
    std::optional<QString> rateLine;
    std::optional<QString> codecOptions;
};

// Reads profiles.pop at `path` from the start up to line 4N and returns what it reached.
// nullopt with *error set when the file is missing or cannot be read, or N is outside 1..131.
// Lines may end in LF or CR LF.
std::optional<ProfileRecord> readProfileRecord(const QString& path, int number,
                                               QString* error = nullptr);

// Splits a size or rate line: entries are separated by single spaces; an empty entry ends
// the list (so a leading space or two spaces in a row end it early); a final entry of a
// single character is dropped.
QStringList splitProfileList(const QString& line);

// The rate line's values by quality level: the first value belongs to level 4 ("Lower
// Quliay"), the fifth to level 0. Levels the line does not reach stay nullopt; values beyond
// the fifth are ignored.
std::array<std::optional<QString>, 5> videoRatesOfRateLine(const QString& rateLine);
