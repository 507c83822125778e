#pragma once

#include <QIcon>

// The edition's application icon, as the desktop's icon theme has it installed; built into the
// program so the window shows it from the build tree too.
QIcon appIcon(bool dvdEdition);
