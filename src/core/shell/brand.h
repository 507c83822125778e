#pragma once

#include <QString>

// What each brand shows of its maker: the web site behind the help menu and the About box, and
// the maker line of the About box. The one place to change them.
namespace brand {

// The brand "kamzu" (an executable whose lower-case name contains "kamzu").
inline const QString kKamzuSite = QStringLiteral("https://www.kamzu-video.example");
inline const QString kKamzuContactPath = QStringLiteral("/Contact.html");
inline const QString kKamzuMakerLine =
    QStringLiteral("Copyright \u00a9 2026 Kamzu Video Software. All rights reserved.");

// Every other name.
inline const QString kOrvexSite = QStringLiteral("https://www.orvex-video.example");
inline const QString kOrvexContactPath = QStringLiteral("/contact.php");
inline const QString kOrvexMakerLine =
    QStringLiteral("Copyright \u00a9 2026 Orvex Software. All rights reserved.");

}  // namespace brand
