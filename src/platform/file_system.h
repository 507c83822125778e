#pragma once

#include <QString>
#include <memory>

namespace platform {

// What a path names, looked at without opening it (opening a pipe would wait for a writer).
enum class EntryKind {
    Missing,     // nothing by that name
    File,        // a regular file, or a link to one
    Folder,      // a folder, or a link to one
    Special,     // a pipe, a device or a socket, or a link to one
    BrokenLink,  // a symbolic link to nothing
    LinkLoop,    // symbolic links that lead round in a circle (or too deep)
};
EntryKind entryKind(const QString& path);

// The longest file name (in bytes of the file system's encoding) that `folder` can hold.
int maxFileNameBytes(const QString& folder);

// Makes a file's contents, or a folder's list of names, durable: once this returns true, a
// power cut cannot take them back. false with *error set when the system refused.
bool syncFile(const QString& path, QString* error);
bool syncFolder(const QString& folder, QString* error);
// Whether syncFile and syncFolder reach the disk; where they cannot (the portable platform),
// they only check that the file is there.
bool syncReachesTheDisk();

// A file claimed by this process: an exclusive lock held on it for as long as the claim lives.
// When the process that claimed it dies, however it dies, the claim is gone with it, so a file
// left behind by a killed run can be told from one that a live run is still writing.
class FileClaim {
  public:
    virtual ~FileClaim() = default;
    // The file's path as claimed.
    virtual const QString& path() const = 0;
    // Makes the claimed file's contents durable (see syncFile).
    virtual bool sync(QString* error) = 0;
};

// Claims path, a file that exists; nullptr when it is gone, claimed by someone else, or no
// longer the file that was there (it was removed or replaced before the claim took hold).
std::unique_ptr<FileClaim> claimFile(const QString& path);

// Removes path when nobody claims it (its owner is gone); true when it was removed. A file
// claimed by a live process, in this one or another, is never touched.
bool removeIfUnclaimed(const QString& path);

// Whether a claim is the system's lock on the file itself, which every program's claim meets
// (register.dat's, flock(1)'s). Where it is not (the portable platform: a lock file beside it),
// only claims made through this layer by Qt programs are seen, and a file that has no lock
// file at all counts as claimed by someone unknown: it is left alone.
bool claimsAreSystemLocks();

}  // namespace platform
