// artgen: draws Orvex's artwork at build time.
//   artgen skin <skin.json> <outdir>   skin images, a description copy and two .qrc lists
//   artgen images <imagesdir>          the profile picker's bitmaps
//   artgen icons <outdir>              the application icons (hicolor SVG and PNGs, a .qrc)
#include <QGuiApplication>
#include <QTextStream>

#include "app_icon.h"
#include "picker_artwork.h"
#include "skin_artwork.h"

int main(int argc, char** argv) {
    // Drawing needs no display; never try to reach one from a build.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    QString error;
    bool ok = false;
    if (args.size() == 4 && args[1] == QLatin1String("skin")) {
        ok = art::writeSkinArtwork(args[2], args[3], &error);
    } else if (args.size() == 3 && args[1] == QLatin1String("images")) {
        ok = art::PickerArtwork::writeAll(args[2], &error);
    } else if (args.size() == 3 && args[1] == QLatin1String("icons")) {
        ok = art::writeAppIcons(args[2], &error);
    } else {
        err << "usage: artgen skin <skin.json> <outdir> | artgen images <imagesdir> | artgen "
               "icons <outdir>\n";
        return 2;
    }
    if (!ok) {
        err << "artgen: " << error << "\n";
        return 1;
    }
    return 0;
}
