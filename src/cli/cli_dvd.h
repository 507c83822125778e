#pragma once

#include <QString>

#include "cli/cli_options.h"
#include "core/shell/session.h"

// The DVD edition's part of orvex-cli: loading a DVD folder or IFO files into the session and
// applying the row, audio and subtitle choices of the command line.
namespace cli_dvd {

enum class Outcome { Done, Failure, Usage };

struct Result {
    Outcome outcome = Outcome::Done;
    QString message;  // one line, for Failure and Usage; empty when already said
};

// Loads the sources: one folder or disc image (Add DVD's search, with the drive wait) or IFO
// files (Add IFO), then the chapter view when asked for. Runs the event loop while the drive is
// awaited.
Result load(Session& session, const CliOptions& options);
// Ticks the rows asked for and sets the stream choices, checked against the rows and their
// lists.
Result applyChoices(Session& session, const CliOptions& options);
// Each title set's audio and subtitle lists: set TAB audio|subtitle TAB item TAB description.
QString streamLists(Session& session);

}  // namespace cli_dvd
