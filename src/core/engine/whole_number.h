#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// The Qt forms of the one reader of whole numbers (numbers/number_reader.h), for outside text
// that reaches the core (profiles.pop, probe output, progress lines, job records, command-line
// indexes): decimal digits only, no sign, blanks around them allowed. nullopt for anything
// else, for more than 18 digits, or for a value above limit.
std::optional<qint64> wholeNumber(QStringView text, qint64 limit);
std::optional<qint64> wholeNumber(QByteArrayView text, qint64 limit);
