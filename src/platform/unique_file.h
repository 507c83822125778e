#pragma once

#include <cstdio>
#include <string>

// Plain C++ (no Qt): register.dat uses it too.
namespace platform {

// Creates a file named prefix + six random letters or digits + suffix that did not exist
// before (never an existing one, whoever made it), with the permissions any new file gets,
// and opens it for writing. Its name goes to *path. nullptr with errno set when no file could
// be created.
std::FILE* createUniqueFile(const std::string& prefix, const std::string& suffix,
                            std::string* path);

}  // namespace platform
