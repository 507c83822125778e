#pragma once

#include <QString>

// What the command-line programs write: messages and progress to standard error, listings to
// standard output. A write to standard output that fails is remembered, so that a listing cut
// off by a full disk or a closed pipe ends as a failure.
namespace cli {

void err(const QString& text);
void out(const QString& text);
// `code`, or the failure code (with the reason on standard error) when anything written to
// standard output did not reach it.
int withOutputChecked(const QString& programName, int code);

}  // namespace cli
