#pragma once

#include <QString>

namespace platform {

// Where the program's files are (see install/program_files.h), as Qt texts.
struct ProgramFolders {
    QString helpers;  // register.dat, orvex-preview.so; with a trailing separator
    QString data;     // profiles.pop, skn.skn, images/; with a trailing separator
    bool installed = false;

    // Everything in one folder, as in the build tree.
    static ProgramFolders inOne(const QString& folder);
    // What to do about a missing or damaged file of ours, as a sentence to add after the one
    // that names it; empty in the build tree, which the next build restores.
    QString restoreAdvice() const;
};

// The folders of the running executable (symlinks resolved). Must be called after the Qt
// application object exists.
ProgramFolders programFolders();

// The file name part of argv[0] as the program was started, so that a link named orvex-dvd
// runs the DVD edition. Not resolved through symlinks.
QString programFileNameFrom(const char* argv0);

// "Converter.exe" -> "Converter.ini", "orvex" -> "orvex.ini", "orvex.bin" -> "orvex.ini":
// a trailing ".exe" is dropped, then any remaining extension is replaced by ".ini".
QString settingsFileName(const QString& programFileName);
// "pro " + settingsFileName(...).
QString choicesFileName(const QString& programFileName);

// The user's videos folder (XDG), the default output folder, with a trailing separator.
QString defaultOutputFolder();

// Where the program keeps what it records about its runs (the activity logs, the saved job
// list): $XDG_STATE_HOME/orvex/ (default ~/.local/state/orvex/), with a trailing separator.
// Never the program's own folder, which may not be writable.
QString stateFolder();

}  // namespace platform
