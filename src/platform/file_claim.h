#pragma once

#include <QString>
#include <memory>

namespace platform {

// A claim on a file that lasts as long as the object, and no longer than this process: another
// process (or this one) can tell a file still in use (a running job's output) from one that
// its owner left behind when it was killed.
class FileClaim {
  public:
    virtual ~FileClaim() = default;

    // Claims the file (which must exist); nullptr with *error set when it cannot be claimed,
    // also when a live process holds a claim on it.
    static std::unique_ptr<FileClaim> claim(const QString& path, QString* error);
    // Whether a live process, this one included, holds a claim on the file.
    static bool isClaimed(const QString& path);

  protected:
    FileClaim() = default;
};

}  // namespace platform
