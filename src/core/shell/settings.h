#pragma once

#include <QString>
#include <QStringList>

#include "platform/ini_file.h"

// The settings file: output folder, picker category and profile, finish action and the
// picker's page flags. Named after the program's own file (Converter -> Converter.ini) and
// kept in the INI folder. Every getter reads the file afresh; a missing file, section or key,
// or a value the key cannot hold (not a number, no such profile, category or action), gives
// the default.
class Settings {
  public:
    explicit Settings(platform::IniFile file);
    // The settings file of the program named programFileName, in the INI folder.
    static Settings forProgram(const QString& programFileName);

    // The profile a program of this name starts with when nothing is saved: the first of
    // "avi", "psp", "mpeg", "mp4", "mkv", "ipod", "iphone", "gphone", "wmv", "rm", "flv"
    // contained in the lower-case name gives its profile; none gives 1.
    static int nameDefaultProfile(const QString& programFileName);

    const platform::IniFile& file() const { return file_; }

    // "output"/"path"; default: the user's videos folder.
    QString outputPath() const;
    // "profiles"/"selcetsubindex"; default: the name default of programFileName.
    int selectedProfile(const QString& programFileName) const;
    // "profiles"/"selcetindex"; default 1.
    int category() const;
    // "profiles"/"FinishSelcet"; default 0.
    int finishAction() const;
    // "plane"/"video" and "plane"/"audio"; default true.
    bool videoFirstPage() const;
    bool audioFirstPage() const;
    // "convert"/"jobs": how many jobs a run converts at once, 0 Automatic; default 0.
    int jobsAtOnce() const;
    // "picture"/"stretch": fill the chosen size whatever the source's shape; default false.
    bool stretch() const;
    // Each key whose value is there but unusable (the default is used), in a sentence.
    QStringList unusableValues() const;

    // Writes every key, in the order the file has always been written, then the newer ones.
    // false when the file could not be written (the old file then stays whole).
    bool save(const QString& outputPath, int profile, int category, int finishAction,
              bool videoFirstPage, bool audioFirstPage, bool stretch, int jobsAtOnce);

  private:
    platform::IniFile file_;
};
