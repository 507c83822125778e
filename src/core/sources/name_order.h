#pragma once

#include <QString>

// The order Windows lists a folder in: names compared in upper case (ties by their exact
// spelling, so the order is total). Folder scans take names in this order whatever the file
// system's own order, so the same disc or folder always gives the same rows.
inline bool windowsNameOrder(const QString& a, const QString& b) {
    const int c = QString::compare(a.toUpper(), b.toUpper(), Qt::CaseSensitive);
    return c != 0 ? c < 0 : a < b;
}
