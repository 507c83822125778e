#include "cli/cli_user_interface.h"

#include <cstdio>

void CliUserInterface::say(const QString& text) const {
    // Message texts may join their lines with a carriage return; a terminal wants new lines.
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fprintf(stderr, "%s: %s\n", programName_.toUtf8().constData(), line.toUtf8().constData());
    std::fflush(stderr);
}

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
