#pragma once

#include <cstdio>
#include <string>

// Plain C++ (no Qt): register.dat uses it too.
namespace platform {

// Creates a file named prefix + six random letters or digits + suffix that did not exist
// before (never an existing one, whoever made it), with the permissions any new file gets,
// and opens it for writing. Its name goes to *path. nullptr with errno set when no file could
// be created.
//
// `claimed`: the file is also locked for as long as it stays open, a lock the system drops
// when this process ends however it ends, so that a cleanup by another program leaves it alone
// while its writer lives (see claimFile in file_system.h). Where the platform has no such lock
// (portable), the file is made unclaimed.
std::FILE* createUniqueFile(const std::string& prefix, const std::string& suffix, std::string* path,
                            bool claimed = false);

}  // namespace platform
