#pragma once

#include <QString>
#include <optional>

namespace platform {

// An INI file with Windows private-profile semantics (IniText). The file is read at every call
// and written at every call, atomically (temp file + rename), so there is no cache to go stale
// and an interrupted write leaves the old file whole. A file of more than a megabyte is not
// read at all, and a write replaces it.
class IniFile {
  public:
    explicit IniFile(QString path);

    // A bare file name in the INI folder (defaultFolder()).
    static IniFile inDefaultFolder(const QString& bareName);
    // $XDG_CONFIG_HOME/orvex/ (default ~/.config/orvex/), with a trailing separator.
    static QString defaultFolder();

    const QString& path() const { return path_; }

    // Why the file exists but cannot be read (no permission, a folder in its place, far too
    // large), or holds bytes that are not text, in a sentence; empty when it can be read or
    // does not exist (both normal). Reads of a file that cannot be read give every default.
    QString readProblem() const;

    // The value of key in section as written; nullopt when there is none.
    std::optional<QString> value(const QString& section, const QString& key) const;

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
