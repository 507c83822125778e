#include "platform/edition.h"

namespace platform {

bool isDvdEdition(const QString& programFileName) {
    return programFileName.toLower().contains(QLatin1String("dvd"));
}

bool isKamzuBrand(const QString& programFileName) {
    return programFileName.toLower().contains(QLatin1String("kamzu"));
}

}  // namespace platform
