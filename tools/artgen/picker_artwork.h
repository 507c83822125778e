#pragma once

#include <QImage>
#include <QString>

#include "art_style.h"

namespace art {

// The picker's bitmaps, under an "images" folder:
//   main/general/<name>.bmp, main/move/<name>.bmp  categories (153 x 27 first, 153 x 25)
//   main/filler.bmp                                  foot of the category column, 153 x 31
//   main/1.bmp .. main/14.bmp                        16 x 16 category icons
//   sub/general/N.bmp, sub/move/N.bmp (N 1..132)     entries (310 x 53 first of a panel,
//                                                    310 x 48 the others)
//   sub/next.bmp, sub/previous.bmp                   paging, 71 x 17
//   sub/strip.bmp                                    the inert strip beside paging, 239 x 17
class PickerArtwork {
  public:
    static constexpr int kEntries = 132;
    static constexpr int kCategories = 13;
    static constexpr int kCategoryIcons = 14;

    // The file name part of category k (1..13): "img_video1" .. "img_animation".
    static QString categoryFileName(int category);
    // Whether entry N is the first of its panel (and so the taller one).
    static bool isFirstOfPanel(int entry);

    static QImage category(int category, bool highlighted, const Theme& theme);
    static QImage filler(const Theme& theme);
    static QImage categoryIcon(int category, const Theme& theme);
    static QImage entry(int entry, bool highlighted, const Theme& theme);
    static QImage paging(bool next, const Theme& theme);
    static QImage strip();

    // Writes every file above under `imagesDir`. False with the reason in `error`.
    static bool writeAll(const QString& imagesDir, QString* error);

    PickerArtwork() = delete;
};

}  // namespace art
