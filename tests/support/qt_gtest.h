#pragma once

#include <QString>
#include <functional>
#include <ostream>

// Lets GoogleTest print QStrings in failure messages (found by argument-dependent lookup).
void PrintTo(const QString& text, std::ostream* out);

namespace orvex::test {

// Runs the event loop until pred holds or timeoutMs have passed; whether it holds.
bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 10000);

}  // namespace orvex::test
