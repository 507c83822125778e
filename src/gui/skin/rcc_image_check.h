#pragma once

#include <QByteArray>
#include <QString>

// Checks that a binary resource image written by `rcc --binary` is whole before it is handed
// to QResource, which trusts the offsets inside it: every tree node, name and data block must
// lie inside the image and the tree must not loop. A cut or scribbled skin file is refused
// here with a reason instead of being read out of bounds later.
class RccImageCheck {
  public:
    // True when the image can be registered; otherwise false with the reason in `error`.
    static bool isWhole(const QByteArray& image, QString* error);

    RccImageCheck() = delete;
};
