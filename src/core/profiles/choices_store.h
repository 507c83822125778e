#pragma once

#include <QHash>
#include <QString>
#include <optional>

#include "platform/ini_file.h"

// Where the per-profile choices (item indexes of the four lists, one section per profile) are
// kept between selections.
class ChoicesStore {
  public:
    virtual ~ChoicesStore() = default;
    // The value as stored; nullopt when nothing is.
    virtual std::optional<QString> readText(const QString& section, const QString& key) const = 0;
    virtual void writeInt(const QString& section, const QString& key, int value) = 0;
    // Why the stored choices cannot be read, or empty (see IniFile::readProblem).
    virtual QString readProblem() const { return {}; }
    // Where the choices are kept, for sentences about them.
    virtual QString location() const { return {}; }

    // A missing key or a value that is not a whole number (negatives included) gives
    // defaultValue.
    int readInt(const QString& section, const QString& key, int defaultValue) const;
};

// The window's store: the profile choices file, read and written at every call.
class IniChoicesStore : public ChoicesStore {
  public:
    explicit IniChoicesStore(platform::IniFile file) : file_(std::move(file)) {}
    std::optional<QString> readText(const QString& section, const QString& key) const override;
    void writeInt(const QString& section, const QString& key, int value) override;
    const platform::IniFile& file() const { return file_; }
    QString readProblem() const override { return file_.readProblem(); }
    QString location() const override { return file_.path(); }

  private:
    platform::IniFile file_;
};

// The batch front end's store: reads the user's choices file but keeps every change in memory,
// so choices given on a command line last for that run only and the file is never written.
class ReadOnlyChoicesStore : public ChoicesStore {
  public:
    explicit ReadOnlyChoicesStore(platform::IniFile file) : file_(std::move(file)) {}
    std::optional<QString> readText(const QString& section, const QString& key) const override;
    void writeInt(const QString& section, const QString& key, int value) override;
    QString readProblem() const override { return file_.readProblem(); }
    QString location() const override { return file_.path(); }

  private:
    static QString slot(const QString& section, const QString& key);

    platform::IniFile file_;
    QHash<QString, int> changes_;
};
