#pragma once

#include <QSet>
#include <QString>
#include <optional>

// Names the output files of one conversion run. A name is never one that an existing file
// bears, nor one that an earlier job of the same run was given (that job's file may not
// exist yet, or may have failed), so two sources clip.avi and clip.mpg become clip.mp4 and
// clip_1.mp4 even when the first job has not written anything yet.
class OutputNaming {
  public:
    struct Folder {
        QString path;   // absolute, with a trailing separator; empty on failure
        QString error;  // why the folder cannot be used
    };

    // The output folder from the text of the output field: refused when empty (nothing would
    // be written beside the program by accident); a relative text is taken from the current
    // directory; a missing folder is created, one level only, when create is set.
    static Folder prepareFolder(const QString& outputText, bool create);

    // Forgets the names given so far (a new run).
    void reset() { reserved_.clear(); }

    // folder (with its separator) + sourceName with its extension replaced by extension;
    // while that is taken: folder + caption + "_" + n + extension, n = 1, 2, 3, ...
    // A name longer than the folder's file system can hold loses characters from the end of
    // its stem (before "_n" and the extension); empty when even that cannot make it fit.
    // The name returned counts as taken from then on.
    QString chooseName(const QString& folder, const QString& sourceName, const QString& caption,
                       const QString& extension);

    bool isTaken(const QString& path) const;

  private:
    QSet<QString> reserved_;
};
