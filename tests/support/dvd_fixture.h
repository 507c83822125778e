#pragma once

#include <QString>
#include <QStringList>

#include "test_media.h"

namespace orvex::test {

// A DVD-Video folder made with FFmpeg, spumux and dvdauthor the first time a process asks for
// it (a few seconds), in a temporary folder that goes at exit. Sector numbers depend on the
// encoder; read them through ifoinfo or lsdvd, not from here.
//
// Title set 1: MPEG-2 720x576 PAL 4:3 at about 7 Mbit/s; audio 0 'en' AC-3 stereo, a 440 Hz
// tone, program-stream id 0x80; audio 1 'fr' MP2 stereo, 880 Hz, id 0xc0 (0xc0 although it is
// the second track: FFmpeg numbers each coding from its base); subpicture 0 'de', id 0x20.
//   chain 0: 9 s in three cells of 3 s, each well over 1000 sectors; the subtitle shows
//            "FIRST" 0.5-2.5 s, "SECOND" 3.5-5.5 s, "THIRD" 6.5-8.5 s (0.5-2.5 s into each cell).
//   chain 1: 1 s, one cell of fewer than 1000 sectors, no subtitle packets.
// Title set 2: MPEG-2 720x576 PAL 16:9; audio 0 'es' AC-3, 660 Hz, id 0x80; no subpictures.
//   chain 0: 4 s, one cell.
struct DvdFixture {
    QString root;   // the disc folder, which holds VIDEO_TS; empty when it could not be made
    QString error;  // why it could not be made

    QString ifoPath(int titleSet) const;  // root/VIDEO_TS/VTS_0n_0.IFO
    QString vobPath(int titleSet) const;  // root/VIDEO_TS/VTS_0n_1.VOB
};

inline constexpr int kFixtureToneHz[] = {440, 880};  // title set 1, audio 0 and 1
inline constexpr int kFixtureSecondSetToneHz = 660;  // title set 2, audio 0

const DvdFixture& dvdFixture();

// Copies the fixture's disc folder to `folder` (created) so a test can damage it.
bool copyDvdFixture(const QString& folder);

// Marks every packet of the VOB file as CSS-scrambled (from sector `fromSector` on), as the
// sectors of an encrypted disc read without decryption.
bool scrambleVob(const QString& vobPath, int fromSector = 0);

// A disc authored as commercial discs are, from the same sources (made the first time a
// process asks for it, beside the fixture; a second or so):
// Title set 1: title set 1's chain 0 of the fixture with a second subpicture stream, 'en'
//   (id 0x21): a red bar in a white frame, kBarRect on the 720x576 picture, 0.5-8.5 s. Its
//   chapters are programs of several cells: 1 = cells 0-1.2, 1.2-2.4 and 2.4-3 s (each cell
//   under 1000 sectors, the three over); 2 = one cell 3-6 s; 3 = cells 6-7.2 and 7.2-9 s.
// Title set 2: the fixture's title set 2.
struct BarRect {
    int x, y, width, height, border;  // the red part is inset by `border`
};
inline constexpr BarRect kBarRect{240, 100, 240, 80, 20};
const DvdFixture& multiCellDvd();

// What is wrong with the bar's colours in an RGB frame (three bytes a pixel) of width x height
// that shows the whole picture: a text for each of the middle of its red part and of its white
// frame whose colour is further than `tolerance` (per channel) from `red` and `white`.
QStringList barColourMismatches(const QByteArray& frame, int width, int height, Rgb red, Rgb white,
                                int tolerance);

// The fixture's disc as an image made by genisoimage -dvd-video (made the first time a process
// asks for it): root is the image file, ifoPath() names the IFO files inside it.
const DvdFixture& dvdImage();

// A disc in `folder` of `count` title sets (up to 44), each with one title of 3 s (just over
// 1000 sectors) and one audio track whose language tells the set: kManySetsLanguages[n - 1]
// for title set n. Empty with *error set on failure; otherwise the disc folder.
inline constexpr const char* kManySetsLanguages[] = {
    "ar", "bg", "ca", "cs", "cy", "da", "de", "el", "en", "es", "et", "eu", "fa", "fi", "fr",
    "ga", "gl", "he", "hi", "hr", "hu", "id", "is", "it", "ja", "ko", "lt", "lv", "ms", "nl",
    "no", "pl", "pt", "ro", "ru", "sk", "sl", "sr", "sv", "th", "tr", "uk", "vi", "zh"};
QString makeManySetsDvd(const QString& folder, int count, QString* error);

// A disc in `folder` whose one title plays title set 1's chain 0 `repeats` times over, for
// benchmarks that need a title of some size (about 8 MB per repeat). Empty with *error set on
// failure; otherwise the disc folder.
QString makeRepeatedDvd(const QString& folder, int repeats, QString* error);

}  // namespace orvex::test
