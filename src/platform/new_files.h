#pragma once

#include <QString>

namespace platform {

// How a move that must not replace anything ended.
enum class MoveResult {
    Moved,   // the file now bears the name
    Taken,   // something of that name exists; nothing was changed
    Failed,  // the file system refused; see the error
};

// Creates an empty file named prefix + six random letters or digits + suffix that did not
// exist before, with the permissions any new file gets; its name, or empty with *error set
// to the reason.
QString createUniqueFile(const QString& prefix, const QString& suffix, QString* error);

// Renames from to to unless to exists (as a file, folder or link, even a dangling one),
// atomically where the file system can. The error says why it failed.
MoveResult moveWithoutReplacing(const QString& from, const QString& to, QString* error);

}  // namespace platform
