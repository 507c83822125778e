#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// The one reader of whole numbers in outside text (profiles.pop, probe output, progress lines,
// job records, command-line indexes): decimal digits only, no sign, blanks around them allowed.
// nullopt for anything else, for more than 18 digits, or for a value above limit.
std::optional<qint64> wholeNumber(QStringView text, qint64 limit);
std::optional<qint64> wholeNumber(QByteArrayView text, qint64 limit);
