#include "cli/cli_console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/cli_app.h"

namespace cli {
namespace {

// The first error writing to standard output (errno), 0 while there has been none.
int gOutError = 0;

}  // namespace

void err(const QString& text) {
    std::fputs(text.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

void out(const QString& text) {
    if (std::fputs(text.toUtf8().constData(), stdout) == EOF && gOutError == 0) {
        gOutError = errno != 0 ? errno : EIO;
    }
}

int withOutputChecked(const QString& programName, int code) {
    if (std::fflush(stdout) != 0 && gOutError == 0) {
        gOutError = errno != 0 ? errno : EIO;
    }
    if (gOutError == 0 && std::ferror(stdout) != 0) {
        gOutError = EIO;
    }
    if (gOutError == 0) {
        return code;
    }
    err(QStringLiteral("%1: cannot write to standard output: %2\n")
            .arg(programName, QString::fromLocal8Bit(std::strerror(gOutError))));
    return code == CliApp::kSuccess ? CliApp::kFailure : code;
}

}  // namespace cli
