#pragma once

#include <QString>
#include <memory>

#include "core/shell/session.h"

namespace orvex::test {

// A session whose program folder is `folder` (which holds profiles.pop and, where a test needs
// one, its own register.dat). Its settings file and profile choices file live in that folder
// too, named after programName, never in the user's own configuration.
// `player` replaces the preview library when given; a reader and drives given replace the IFO
// reader library and the machine's drives.
std::unique_ptr<Session> makeTestSession(const QString& folder, const QString& programName,
                                         UserInterface& ui, platform::MachineActions& machine,
                                         std::unique_ptr<PreviewPlayer> player = nullptr,
                                         std::unique_ptr<TitleSetReader> reader = nullptr,
                                         std::shared_ptr<platform::Drives> drives = nullptr);

// Writes the shipped profiles.pop into folder.
bool copyProfilesPop(const QString& folder);
// Writes an executable shell script.
bool writeScript(const QString& path, const QByteArray& text);

}  // namespace orvex::test
