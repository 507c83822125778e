#include <QCoreApplication>
#include <QStringList>

#include "cli/cli_app.h"
#include "platform/install/program_files.h"
#include "platform/program_paths.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(platform::version()));
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    CliApp cli(platform::programFileNameFrom(argc > 0 ? argv[0] : nullptr), arguments);
    return cli.run();
}
