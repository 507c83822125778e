#pragma once

#include <QString>

#include "core/engine/app_state.h"
#include "core/shell/user_interface.h"

// The refusals shared by the commands that change the job list or start work. Each shows its
// warning and returns true when the command must not go on; commands test them in the order
// they need (playing before converting before probing).
class CommandGuards {
  public:
    static const QString kStopPlayText;     // "Please first stop play!"
    static const QString kStopConvertText;  // "Please first stop convert!"
    static const QString kBusyText;         // while files being added are examined

    static bool refusedWhilePlaying(const AppState& state, UserInterface& ui);
    static bool refusedWhileConverting(const AppState& state, UserInterface& ui);
    static bool refusedWhileProbing(const AppState& state, UserInterface& ui);

    CommandGuards() = delete;
};
