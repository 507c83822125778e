#include "core/shell/help_links.h"

#include "core/shell/brand.h"
#include "platform/edition.h"

namespace help_links {

QString siteOf(const QString& programFileName) {
    return platform::isKamzuBrand(programFileName) ? brand::kKamzuSite : brand::kOrvexSite;
}

QString contactPageOf(const QString& programFileName) {
    return platform::isKamzuBrand(programFileName) ? brand::kKamzuSite + brand::kKamzuContactPath
                                                   : brand::kOrvexSite + brand::kOrvexContactPath;
}

QString aboutContactPage() {
    return brand::kOrvexSite + brand::kOrvexContactPath;
}

QString makerLineOf(const QString& programFileName) {
    return programFileName.startsWith(QLatin1String("Kamzu"), Qt::CaseSensitive)
               ? brand::kKamzuMakerLine
               : brand::kOrvexMakerLine;
}

QString aboutTitleOf(const QString& programFileName) {
    QString title = programFileName;
    if (title.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        title.chop(4);
    }
    return title;
}

}  // namespace help_links
