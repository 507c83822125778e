#include "platform/new_files.h"

#include <QFile>
#include <cerrno>
#include <cstring>

#include "platform/unique_file.h"

namespace platform {

QString createUniqueFile(const QString& prefix, const QString& suffix, QString* error) {
    std::string path;
    std::FILE* file = createUniqueFile(QFile::encodeName(prefix).toStdString(),
                                       QFile::encodeName(suffix).toStdString(), &path);
    if (file == nullptr) {
        if (error != nullptr) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
        }
        return {};
    }
    std::fclose(file);
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace platform
