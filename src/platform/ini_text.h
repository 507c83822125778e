#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace platform {

// The text of an INI file, read and rewritten in memory by Windows private-profile rules:
// sections and keys match without regard to case, the first match wins, values are trimmed,
// one pair of surrounding quotes is dropped, lines it does not understand are kept. A line
// ends at LF, CR LF or a lone CR; a UTF-8 byte order mark at the start is not part of the
// first line.
class IniText {
  public:
    explicit IniText(const QByteArray& data);

    // The value of key in section; nullopt when there is none.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // The text with key set to value: its line replaced in the first section of that name, or
    // added at the end of that section, or in a new section at the end. Every other line comes
    // back byte for byte, and new lines take the text's own line ending.
    QByteArray withValue(const QString& section, const QString& key, const QString& value) const;

    // Whether the text holds bytes that no text file holds (NUL, or bytes that are not UTF-8).
    bool hasBinaryBytes() const;

  private:
    struct Line {
        QByteArray text;    // without the line ending
        QByteArray ending;  // "\n", "\r\n", "\r" or empty for a last line without one
    };

    QByteArray bom_;
    QList<Line> lines_;
};

}  // namespace platform
