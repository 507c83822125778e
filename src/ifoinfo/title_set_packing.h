#pragma once

#include <memory>
#include <string>

#include "ifoinfo/title_set_info.h"

namespace orvex::ifoinfo {

// A title set's information as bytes, for the hand-over from the child process that reads the
// IFO file: counts and numbers as 32-bit little-endian words, texts as their length and their
// characters.
std::string packTitleSetInfo(const TitleSetInfo& info);

// The information back; nullptr for bytes that are not exactly one packed title set (a child
// that died while writing leaves a truncated packet).
std::unique_ptr<TitleSetInfo> unpackTitleSetInfo(const std::string& bytes);

}  // namespace orvex::ifoinfo
