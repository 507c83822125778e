#include "core/shell/command_guards.h"

const QString CommandGuards::kStopPlayText = QStringLiteral("Please first stop play!");
const QString CommandGuards::kStopConvertText = QStringLiteral("Please first stop convert!");
const QString CommandGuards::kBusyText =
    QStringLiteral("Please wait until the files being added have been examined.");

CommandGuards::CommandGuards(UserInterface& ui) : ui_(ui) {}

bool CommandGuards::refuse(bool busy, const QString& text) {
    if (busy) {
        ui_.warning(text);
    }
    return busy;
}

bool CommandGuards::refusedWhilePlaying() {
    return refuse(playing(), kStopPlayText);
}

bool CommandGuards::refusedWhileConverting() {
    return refuse(converting(), kStopConvertText);
}

bool CommandGuards::refusedWhileAdding() {
    return refuse(adding(), kBusyText);
}
