#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "platform/file_system.h"
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

    // A temporary file as a job holds it: claimed for the job's lifetime, so that a cleanup
    // by another run (or a later one of this program) leaves it alone while its job lives.
    struct Claimed {
        QString path;
        std::unique_ptr<platform::FileClaim> claim;
    };
    // createTemporary, claimed; an empty path with *error set on failure.
    static Claimed createClaimed(const QString& finalName, QString* error);

    // Whether a file name (without its folder) is one that createTemporary gives, or that of
    // the inner temporary file register.dat writes beside such a file (".clip.part-XXXXXX.amr"
    // and ".clip.part-XXXXXX.amr.part-YYYYYY").
    static bool isPartName(const QString& fileName);
    // Removes the temporary files in folder that nobody claims any more: left behind by a
    // killed run. A live job's file, of this program or another, stays. The paths removed.
    static QStringList removeLeftovers(const QString& folder);

    // Renames from to to unless to exists (as a file, folder or link).
    static Move moveNoReplace(const QString& from, const QString& to, QString* error) {
        return platform::moveWithoutReplacing(from, to, error);
    }

    // Removes a temporary file, and the inner temporary files beside it that their writer
    // left (an encoder killed on the way); quiet when they are gone already. The paths of
    // inner files that are still claimed, and so were left (none once their writer ended).
    static QStringList discard(const QString& path);
};
