#pragma once

// What happens after the last job of a run; the numbers are what the settings file stores.
enum class FinishAction { Nothing = 0, OpenFolder = 1, PowerOff = 2 };

// A stored number as an action; anything unknown does nothing.
inline FinishAction finishActionOf(int stored) {
    return stored == 1   ? FinishAction::OpenFolder
           : stored == 2 ? FinishAction::PowerOff
                         : FinishAction::Nothing;
}
