#pragma once

#include <QString>

namespace platform {

// The program's own file name decides the edition and brand; every caller tests it afresh.
bool isDvdEdition(const QString& programFileName);
bool isKamzuBrand(const QString& programFileName);

}  // namespace platform
