#include "cli/cli_user_interface.h"

#include "cli/cli_console.h"

void CliUserInterface::say(const QString& text) const {
    // Message texts may join their lines with a carriage return; a terminal wants new lines.
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    cli::err(programName_ + QStringLiteral(": ") + line + QLatin1Char('\n'));
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
