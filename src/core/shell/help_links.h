#pragma once

#include <QString>

// The help menu's pages and the About box's texts, by the program's own file name.
namespace help_links {

// "Help", "Our Website" and "Visit our web": the brand's site.
QString siteOf(const QString& programFileName);
// "Support" and "Contact us": the brand's contact page.
QString contactPageOf(const QString& programFileName);
// The About box's "Contact us " button: the second site's contact page whatever the brand.
QString aboutContactPage();
// The About box's maker line: the brand "kamzu" only for a file name beginning with "Kamzu"
// in exactly that case.
QString makerLineOf(const QString& programFileName);
// The About box's title: the file name without a trailing ".exe" (the only extension a
// program file name carries).
QString aboutTitleOf(const QString& programFileName);

}  // namespace help_links
