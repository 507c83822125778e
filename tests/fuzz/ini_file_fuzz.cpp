// The settings and choices files are text the user may edit by hand.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "fuzz_input.h"
#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const orvex::fuzz::Input input(data, size);
    const QString path = dir.filePath(QStringLiteral("orvex.ini"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        f.write(input.rest.data(), input.rest.size());
    }
    platform::IniFile ini(path);
    // Sections and keys the program uses, and one taken from the input itself.
    const QString sections[] = {QStringLiteral("profiles"), QStringLiteral("118"),
                                QString::fromUtf8(input.rest.first(
                                    std::min<qsizetype>(input.control % 16, input.rest.size())))};
    const QString keys[] = {QStringLiteral("selcetsubindex"), QStringLiteral("size"),
                            QStringLiteral("outputpath")};
    const QString& section = sections[input.control % 3];
    const QString& key = keys[(input.control / 3) % 3];
    (void)ini.readString(section, key, QString());
    (void)ini.readInt(section, key, -1);
    (void)ini.readProblem();
    // A rewrite must keep the file readable and give back what was written.
    if (ini.writeInt(section, key, 42) && !section.trimmed().isEmpty() &&
        !key.trimmed().isEmpty() && !section.contains(QLatin1Char(']')) &&
        !section.contains(QLatin1Char('\n')) && !section.contains(QLatin1Char('\r'))) {
        if (ini.readInt(section, key, -1) != 42) {
            __builtin_trap();
        }
    }
    return 0;
}
