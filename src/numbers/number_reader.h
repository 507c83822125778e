#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The one reader of numbers and clock times in outside text (profiles.pop, probe and progress
// output, job records, INI values, IFO file names, command-line indexes). Standard C++ only, so
// the contract libraries use it too; the core's Qt forms (core/engine/whole_number.h) call it.
namespace orvex::numbers {

// Decimal digits only: no sign, no blanks. nullopt for anything else, for more than 18 digits,
// or for a value above limit.
std::optional<std::int64_t> digits(std::string_view text, std::int64_t limit);

// digits() with blanks (space, tab) around them allowed.
std::optional<std::int64_t> wholeNumber(std::string_view text, std::int64_t limit);

// wholeNumber() with an optional sign before the digits; nullopt outside [min, max].
std::optional<std::int64_t> integer(std::string_view text, std::int64_t min, std::int64_t max);

// A clock time "hh:mm:ss" at the start of text: hours two digits or more (at most twelve),
// minutes and seconds two digits each, 00 to 59, each separator one character (not examined).
// Whatever follows is left to the caller ("00:01:23.45": `length` is 8).
struct ClockTime {
    std::int64_t seconds = 0;
    std::size_t length = 0;
};
std::optional<ClockTime> clockTime(std::string_view text);

}  // namespace orvex::numbers
