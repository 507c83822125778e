#pragma once

#include <map>
#include <string>

namespace orvex::dvd {

// The files of a disc folder as libdvdread finds them, checked before libdvdread opens them:
// it opens whatever has the right name, and opening a FIFO or a device blocks for good.

// The files of a disc folder where libdvdread looks for them: the folder itself, then its
// VIDEO_TS and video_ts sub-folders, names in any letter case. The folders are listed once,
// when it is made: a disc of 40 title sets asks for some 200 names.
class DiscFolder {
  public:
    explicit DiscFolder(const std::string& root);
    // The path of the file of that name libdvdread would open; empty when there is none.
    std::string find(const std::string& name) const;
    // Why the title VOBs of a title set cannot be read, naming the file: the first one
    // missing, or one that is not a readable regular file. "" when they can be.
    std::string titleVobsProblem(int titleSet) const;

  private:
    std::map<std::string, std::string> files_;  // upper-case name -> path, first found wins
};

// Why a file that should be a VOB or IFO cannot be read: "" when it is a regular file that
// opens for reading; otherwise a short reason ("it is not a regular file", "Permission denied").
std::string regularFileProblem(const std::string& path);

// Why what is named as a disc (a folder, an image file or a drive) is none: "" when it is a
// folder, a regular file or a block device; otherwise the reason.
std::string discRootProblem(const std::string& root);

// Why the title VOBs of a title set of a disc folder cannot be read, naming the file: the first
// one missing, or one that is not a readable regular file. "" when they can be, and for an image
// or a drive, which libdvdread reads as a whole.
std::string titleVobsProblem(const std::string& root, int titleSet);

// The file name of a title set's file: "VTS_01_0.IFO", "VTS_01_0.BUP", "VTS_01_3.VOB".
std::string titleSetFileName(int titleSet, int part, const char* extension);

// A plain-words sentence for sectors that are CSS-scrambled.
std::string scrambledText(bool decryptionUnavailable);

}  // namespace orvex::dvd
