// skinshot: renders the skinned main window, with stand-ins for the plain controls that the
// window places over the skin, for every layout variant, plus sheets of the command looks
// and of the picker images, to PNG files. For looking at the design, never for tests.
//   skinshot <bin dir holding skn.skn and images/> <output dir>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QTextStream>
#include <QTreeWidget>

#include "gui/skin/skin_bundle.h"
#include "gui/skin/skin_engine.h"
#include "gui/skin/skin_object.h"
#include "gui/skin/skin_window.h"

namespace {

struct Layout {
    QPoint edOutput, panel1, plMain, panels, plPlay, progress;
    QRect lv;
    int comboX, comboY, comboWidth;
    QRect cbAudio, cbSubtitle;  // empty in the video edition
    int subOffset;
};

// Where the window puts its plain controls in each variant.
Layout layoutOf(const QString& key) {
    const bool kamzu = key.endsWith(QLatin1String("kamzu"));
    const bool dvd = key.startsWith(QLatin1String("dvd"));
    Layout l;
    if (kamzu) {
        l = {{94, 483},
             {96, dvd ? 429 : 451},
             dvd ? QPoint(90, 71) : QPoint(88, 90),
             dvd ? QPoint(243, 71) : QPoint(241, 90),
             {546, 296},
             {15, 503},
             QRect(8, 121, 509, dvd ? 298 : 316),
             554,
             121,
             168,
             {},
             {},
             180};
        if (dvd) {
            l.cbAudio = QRect(90, 453, 177, 0);
            l.cbSubtitle = QRect(336, 453, 177, 0);
        }
    } else {
        l = {dvd ? QPoint(82, 470) : QPoint(422, 66),
             {62, 64},
             {53, 81},
             {206, 81},
             {559, 294},
             {15, 496},
             QRect(12, 89, 535, dvd ? 333 : 356),
             576,
             128,
             149,
             {},
             {},
             220};
        if (dvd) {
            l.cbAudio = QRect(400, 61, 148, 0);
            l.cbSubtitle = QRect(596, 61, 144, 0);
        }
    }
    return l;
}

QComboBox* combo(QWidget* parent, QPoint at, int width, const QStringList& items, int index) {
    auto* c = new QComboBox(parent);
    c->addItems(items);
    c->setCurrentIndex(index);
    c->move(at);
    c->resize(width, c->sizeHint().height());
    return c;
}

QLabel* picture(QWidget* parent, const QString& file, QPoint at) {
    auto* l = new QLabel(parent);
    l->setPixmap(QPixmap(file));
    l->move(at);
    l->resize(l->pixmap().size());
    return l;
}

// A panel of entries [first, last] as the picker stacks them, 358 high.
void pickerPanel(QWidget* window, const QString& images, QPoint at, int first, int last,
                 int highlighted, bool paging) {
    int y = at.y();
    const int bottom = at.y() + 358 - (paging ? 17 : 0);
    for (int n = first; n <= last && y < bottom; ++n) {
        const QString state = n == highlighted ? QStringLiteral("move") : QStringLiteral("general");
        QLabel* l = picture(window, images + QStringLiteral("/sub/%1/%2.bmp").arg(state).arg(n),
                            QPoint(at.x(), y));
        if (n == last || y + l->height() > bottom) {
            l->resize(l->width(), bottom - y);  // the last entry fills the panel
            l->setScaledContents(true);
        }
        y += l->height();
    }
    if (paging) {
        picture(window, images + QStringLiteral("/sub/strip.bmp"), QPoint(at.x(), bottom));
        picture(window, images + QStringLiteral("/sub/next.bmp"), QPoint(at.x() + 239, bottom));
    }
}

void pickerColumn(QWidget* window, const QString& images, QPoint at, int highlighted) {
    const char* names[] = {"img_video1",  "img_audio1", "img_ipod",     "img_iphone", "img_gphone",
                           "img_appletv", "img_psp",    "img_xbox",     "img_phone",  "img_win",
                           "img_pmp",     "img_hd",     "img_animation"};
    int y = at.y();
    for (int k = 1; k <= 13; ++k) {
        const QString state = k == highlighted ? QStringLiteral("move") : QStringLiteral("general");
        y += picture(window, images + QStringLiteral("/main/%1/%2.bmp").arg(state, names[k - 1]),
                     QPoint(at.x(), y))
                 ->height();
    }
    picture(window, images + QStringLiteral("/main/filler.bmp"), QPoint(at.x(), y));
}

enum class Scene { Empty, Busy, Picker };

QImage shoot(SkinEngine& engine, const QString& key, const QString& images, Scene scene) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Orvex Video Converter"));
    engine.applySkin(&window);
    engine.applyForm(&window, SkinEngine::kMainForm, key);
    const Layout l = layoutOf(key);
    const bool dvd = key.startsWith(QLatin1String("dvd"));

    auto* ed = new QLineEdit(QDir::homePath() + QStringLiteral("/Videos"), &window);
    ed->setFrame(false);
    ed->setGeometry(QRect(l.edOutput, QSize(187, 14)));
    picture(&window, images + QStringLiteral("/main/%1.bmp").arg(scene == Scene::Empty ? 1 : 3),
            l.panel1);
    const QStringList quality{QStringLiteral("Higher quality"), QStringLiteral("High quality"),
                              QStringLiteral("Normal"), QStringLiteral("Low Quliay"),
                              QStringLiteral("Lower Quliay")};
    combo(&window, {l.comboX, l.comboY}, l.comboWidth, {QStringLiteral("320x240")}, 0);
    combo(&window, {l.comboX, l.comboY + 41}, l.comboWidth, quality, 2);
    combo(&window, {l.comboX, l.comboY + 82}, l.comboWidth, quality, 2);
    combo(&window, {l.comboX, l.comboY + 123}, l.comboWidth,
          {QStringLiteral("Mono"), QStringLiteral("Stereo")}, 1);
    if (dvd) {
        combo(&window, l.cbAudio.topLeft(), l.cbAudio.width(), {QStringLiteral("1: English AC3")},
              0);
        combo(&window, l.cbSubtitle.topLeft(), l.cbSubtitle.width(),
              {QStringLiteral("No subtitle")}, 0);
    }
    auto* play = new QWidget(&window);
    play->setGeometry(QRect(l.plPlay, QSize(176, 137)));
    if (scene == Scene::Busy) {
        auto* lv = new QTreeWidget(&window);
        lv->setGeometry(l.lv);
        lv->setRootIsDecorated(false);
        lv->setHeaderLabels({dvd ? QStringLiteral("Title") : QStringLiteral("File Name"),
                             QStringLiteral("Duration"), QStringLiteral("Output Size"),
                             QStringLiteral("Status"), QStringLiteral("Output")});
        for (int i = 0; i < 4; ++i) {
            auto* row = new QTreeWidgetItem(
                lv, {dvd ? QStringLiteral("Title %1").arg(i + 1)
                         : QStringLiteral("holiday-clip-%1.mkv").arg(i + 1),
                     QStringLiteral("00:0%1:12").arg(i + 2), QStringLiteral("%1.2 MB").arg(12 + i),
                     i == 0   ? QStringLiteral("Finish")
                     : i == 1 ? QStringLiteral("45.67%")
                              : QStringLiteral("Ready"),
                     QDir::homePath() + QStringLiteral("/Videos")});
            if (dvd) {
                row->setCheckState(0, Qt::Checked);
            }
        }
        lv->header()->resizeSection(0, 180);
        auto* bar = new QProgressBar(&window);
        bar->setRange(0, 10000);
        bar->setValue(5200);
        bar->setTextVisible(false);
        bar->setGeometry(QRect(l.progress, QSize(722, 12)));
        play->setStyleSheet(QStringLiteral("background:#2b3a55;"));
        SkinEngine::findObject(&window, QStringLiteral("profilestext"))
            ->setText(QString::fromUtf8("iPod(320\u00d7240)MPEG-4 Codec(*.mp4)"));
        SkinEngine::findObject(&window, QStringLiteral("play_time"))
            ->setText(QStringLiteral("00:01:23"));
        SkinEngine::findObject(&window, QStringLiteral("play_bar"))->setPosition(4000);
    }
    if (scene == Scene::Picker) {
        pickerColumn(&window, images, l.plMain, 1);
        pickerPanel(&window, images, l.panels, 1, 7, 4, true);
        pickerPanel(&window, images, l.plMain + QPoint(l.subOffset, 0), 118, 124, 120, false);
    }
    window.show();
    return window.grab().toImage();
}

// Every command object's looks side by side: normal, hover, pressed.
QImage looksSheet(const QString& skinFile, const QString& key) {
    QString error;
    const auto bundle = SkinBundle::fromFile(skinFile, &error);
    const SkinForm* form = bundle ? bundle->description().form(SkinEngine::kMainForm) : nullptr;
    const SkinVariant* variant = form ? form->variant(key) : nullptr;
    if (!variant) {
        return {};
    }
    QImage sheet(560, 30 + 44 * form->objects.size(), QImage::Format_RGB32);
    sheet.fill(QColor(0x16, 0x1a, 0x23));
    QPainter p(&sheet);
    p.setPen(QColor(0x9a, 0xa3, 0xb8));
    p.drawText(QRect(110, 6, 140, 18), Qt::AlignCenter, QStringLiteral("normal"));
    p.drawText(QRect(260, 6, 140, 18), Qt::AlignCenter, QStringLiteral("hover / fill"));
    p.drawText(QRect(410, 6, 140, 18), Qt::AlignCenter, QStringLiteral("pressed / thumb"));
    int y = 30;
    for (const SkinObjectDef& object : form->objects) {
        const SkinPlacement& placement = variant->placements[object.name];
        p.drawText(QRect(6, y, 100, 40), Qt::AlignVCenter, object.name);
        int x = 110;
        const QStringList states = object.kind == SkinObjectKind::Bar
                                       ? QStringList{"track", "fill", "thumb"}
                                       : QStringList{"normal", "hover", "pressed"};
        for (const QString& state : states) {
            if (placement.looks.contains(state)) {
                const QPixmap look = bundle->pixmap(placement.looks[state]);
                p.drawPixmap(
                    x, y + (40 - look.height()) / 2,
                    look.scaled(look.size().boundedTo(QSize(140, 40)), Qt::KeepAspectRatio));
            }
            x += 150;
        }
        y += 44;
    }
    return sheet;
}

// All picker entries, normal and highlighted, and the categories.
QImage pickerSheet(const QString& images, bool highlighted) {
    const QString state = highlighted ? QStringLiteral("move") : QStringLiteral("general");
    const int columns = 4;
    const int rows = (132 + columns - 1) / columns;
    QImage sheet(columns * 314 + 4 + 160, rows * 57 + 4, QImage::Format_RGB32);
    sheet.fill(QColor(0x0c, 0x0e, 0x12));
    QPainter p(&sheet);
    for (int n = 1; n <= 132; ++n) {
        const int col = (n - 1) / rows;
        const int row = (n - 1) % rows;
        p.drawImage(4 + col * 314, 4 + row * 57,
                    QImage(images + QStringLiteral("/sub/%1/%2.bmp").arg(state).arg(n)));
    }
    const char* names[] = {"img_video1",  "img_audio1", "img_ipod",     "img_iphone", "img_gphone",
                           "img_appletv", "img_psp",    "img_xbox",     "img_phone",  "img_win",
                           "img_pmp",     "img_hd",     "img_animation"};
    int y = 4;
    for (const char* name : names) {
        const QImage image(images + QStringLiteral("/main/%1/%2.bmp").arg(state, name));
        p.drawImage(columns * 314 + 4, y, image);
        y += image.height();
    }
    p.drawImage(columns * 314 + 4, y, QImage(images + QStringLiteral("/main/filler.bmp")));
    y += 40;
    p.drawImage(columns * 314 + 4, y, QImage(images + QStringLiteral("/sub/next.bmp")));
    p.drawImage(columns * 314 + 80, y, QImage(images + QStringLiteral("/sub/previous.bmp")));
    y += 30;
    for (int k = 1; k <= 14; ++k) {
        const QImage icon(images + QStringLiteral("/main/%1.bmp").arg(k));
        p.drawImage(QRect(columns * 314 + 4 + ((k - 1) % 7) * 22, y + ((k - 1) / 7) * 22, 16, 16),
                    icon);
    }
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc != 3) {
        out << "usage: skinshot <bin dir> <output dir>\n";
        return 2;
    }
    const QDir bin(QString::fromLocal8Bit(argv[1]));
    const QDir dest(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(dest.path());
    const QString images = bin.filePath(QStringLiteral("images"));
    SkinEngine engine;
    engine.loadSkinFile(bin.filePath(QStringLiteral("skn.skn")));
    if (!engine.problem().isEmpty()) {
        out << engine.problem() << "\n";
    }
    for (const QString& key : {QStringLiteral("video-other"), QStringLiteral("video-kamzu"),
                               QStringLiteral("dvd-other"), QStringLiteral("dvd-kamzu")}) {
        const std::pair<Scene, const char*> scenes[] = {
            {Scene::Empty, "empty"}, {Scene::Busy, "busy"}, {Scene::Picker, "picker"}};
        for (const auto& [scene, name] : scenes) {
            const QString file = dest.filePath(QStringLiteral("window-%1-%2.png").arg(key, name));
            shoot(engine, key, images, scene).save(file);
            out << file << "\n";
        }
        const QString looks = dest.filePath(QStringLiteral("looks-%1.png").arg(key));
        looksSheet(bin.filePath(QStringLiteral("skn.skn")), key).save(looks);
        out << looks << "\n";
    }
    for (bool highlighted : {false, true}) {
        const QString file = dest.filePath(highlighted ? QStringLiteral("picker-highlighted.png")
                                                       : QStringLiteral("picker-normal.png"));
        pickerSheet(images, highlighted).save(file);
        out << file << "\n";
    }
    return 0;
}
