#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ifoinfo/title_set_info.h"

namespace orvex::ifoinfo {

// The title sets of a batch as bytes, for the hand-over from the child process that reads the
// IFO files: counts and numbers as 32-bit little-endian words, texts as their length and their
// characters.
std::string packTitleSetReads(const std::vector<TitleSetRead>& reads);

// The title sets back; nullopt for bytes that are not exactly one packed batch (a child that
// died while writing leaves a truncated packet).
std::optional<std::vector<TitleSetRead>> unpackTitleSetReads(const std::string& bytes);

}  // namespace orvex::ifoinfo
