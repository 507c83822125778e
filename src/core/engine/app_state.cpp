#include "core/engine/app_state.h"

#include "platform/edition.h"

bool AppState::isDvdEdition() const { return platform::isDvdEdition(programFileName); }
