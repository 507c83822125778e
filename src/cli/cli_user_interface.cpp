#include "cli/cli_user_interface.h"

#include <cstdio>

namespace {

void say(const QString& text) {
    // Message texts may join their lines with a carriage return; a terminal wants new lines.
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fprintf(stderr, "orvex-cli: %s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

}  // namespace

void CliUserInterface::warning(const QString& text) {
    say(text);
}
void CliUserInterface::information(const QString& text) {
    say(text);
}
void CliUserInterface::error(const QString& text) {
    say(text);
}

bool CliUserInterface::confirm(const QString& text) {
    say(text);
    return false;
}
