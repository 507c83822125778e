#include "core/shell/command_guards.h"

const QString CommandGuards::kStopPlayText = QStringLiteral("Please first stop play!");
const QString CommandGuards::kStopConvertText = QStringLiteral("Please first stop convert!");
const QString CommandGuards::kBusyText =
    QStringLiteral("Please wait until the files being added have been examined.");

namespace {

bool refuse(bool busy, UserInterface& ui, const QString& text) {
    if (busy) {
        ui.warning(text);
    }
    return busy;
}

}  // namespace

bool CommandGuards::refusedWhilePlaying(const AppState& state, UserInterface& ui) {
    return refuse(state.playing, ui, kStopPlayText);
}

bool CommandGuards::refusedWhileConverting(const AppState& state, UserInterface& ui) {
    return refuse(state.converting, ui, kStopConvertText);
}

bool CommandGuards::refusedWhileProbing(const AppState& state, UserInterface& ui) {
    return refuse(state.probing, ui, kBusyText);
}
