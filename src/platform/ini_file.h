#pragma once

#include <QString>

namespace platform {

// An INI file with Windows private-profile semantics: sections and keys match without regard to
// case, the first match wins, values are trimmed, lines it does not understand are kept.
// The file is read at every call and written at every call, atomically (temp file + rename),
// so there is no cache to go stale and an interrupted write leaves the old file whole.
class IniFile {
  public:
    explicit IniFile(QString path);

    // A bare file name in the INI folder (defaultFolder()).
    static IniFile inDefaultFolder(const QString& bareName);
    // $XDG_CONFIG_HOME/orvex/ (default ~/.config/orvex/), with a trailing separator.
    static QString defaultFolder();

    const QString& path() const { return path_; }

    // Why the file exists but cannot be read (no permission, a folder in its place), in a
    // sentence; empty when it can be read or does not exist (both normal). Reads of such a
    // file give every default.
    QString readProblem() const;

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // A missing key or a value that is not a decimal integer gives defaultValue.
    int readInt(const QString& section, const QString& key, int defaultValue) const;
    // false when the file could not be written; the old file is then untouched.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInt(const QString& section, const QString& key, int value);

  private:
    QString path_;
};

}  // namespace platform
