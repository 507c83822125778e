#pragma once

#include <QString>

#include "platform/new_files.h"

// The file one job writes. The encoder writes a temporary file that was created exclusively
// beside the final name (so the rename at the end stays on one file system) and keeps the
// final extension (which chooses FFmpeg's muxer); only a job that ended well moves it to its
// final name, and never over a file that exists by then, whoever made it. Everything else
// removes it, so a stopped or failed job leaves nothing behind.
class OutputFile {
  public:
    using Move = platform::MoveResult;

    // Creates an empty, hidden file named after finalName in its folder:
    // ".clip.part-XXXXXX.mp4" for "clip.mp4". Empty with *error set on failure.
    static QString createTemporary(const QString& finalName, QString* error);

    // Renames from to to unless to exists (as a file, folder or link).
    static Move moveNoReplace(const QString& from, const QString& to, QString* error) {
        return platform::moveWithoutReplacing(from, to, error);
    }

    // Removes a temporary file; quiet when it is gone already.
    static void discard(const QString& path);
};
