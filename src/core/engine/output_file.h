#pragma once

#include <QString>

// The file one job writes. The encoder writes a temporary file that was created exclusively
// beside the final name (so the rename at the end stays on one file system) and keeps the
// final extension (which chooses FFmpeg's muxer); only a job that ended well moves it to its
// final name, and never over a file that exists by then, whoever made it. Everything else
// removes it, so a stopped or failed job leaves nothing behind.
class OutputFile {
  public:
    enum class Move {
        Moved,   // the file now bears the name
        Taken,   // a file of that name exists; nothing was changed
        Failed,  // the file system refused; see the error
    };

    // Creates an empty, hidden file named after finalName in its folder:
    // ".clip.part-XXXXXX.mp4" for "clip.mp4". Empty with *error set on failure.
    static QString createTemporary(const QString& finalName, QString* error);

    // Renames from to to unless to exists (as a file, folder or link), atomically where the
    // file system can: renameat2(RENAME_NOREPLACE), else link() and unlink(), else an
    // exclusive create of to that the rename then replaces.
    static Move moveNoReplace(const QString& from, const QString& to, QString* error);

    // Removes a temporary file; quiet when it is gone already.
    static void discard(const QString& path);
};
