#pragma once

#include <QString>

namespace platform {

// Folder of the running executable (symlinks resolved), with a trailing separator.
// Must be called after the Qt application object exists.
QString programFolder();

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
