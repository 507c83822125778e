#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

namespace {

const QDir kImages(QStringLiteral(ORVEX_TEST_BIN_DIR "/images"));

// Share of pixels that differ clearly between two pictures of the same size.
double differingShare(const QImage& a, const QImage& b) {
    int differ = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            differ += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                          std::abs(p.blue() - q.blue()) >
                      60;
        }
    }
    return double(differ) / (a.width() * a.height());
}

void expectImage(const QString& name, QSize size) {
    const QImage image(kImages.filePath(name));
    EXPECT_FALSE(image.isNull()) << name.toStdString();
    EXPECT_EQ(image.size(), size) << name.toStdString();
}

// Normal and highlighted pictures of one item: both present at the size, clearly different.
void expectPair(const QString& normal, const QString& highlighted, QSize size) {
    expectImage(normal, size);
    expectImage(highlighted, size);
    const QImage a(kImages.filePath(normal)), b(kImages.filePath(highlighted));
    if (a.size() == size && b.size() == size) {
        EXPECT_GT(differingShare(a, b), 0.3) << normal.toStdString();
    }
}

TEST(PickerImagesTest, EveryPictureThePickerLoadsExistsAtItsSize) {
    const char* categories[] = {"img_video1",   "img_audio1",  "img_ipod", "img_iphone",
                                "img_gphone",   "img_appletv", "img_psp",  "img_xbox",
                                "img_phone",    "img_win",     "img_pmp",  "img_hd",
                                "img_animation"};
    for (const char* name : categories) {
        const QSize size(153, QLatin1String(name) == QLatin1String("img_video1") ? 27 : 25);
        expectPair(QStringLiteral("main/general/%1.bmp").arg(QLatin1String(name)),
                   QStringLiteral("main/move/%1.bmp").arg(QLatin1String(name)), size);
    }
    const QList<int> firstOfPanel = {1,  8,  15, 22, 27, 34,  41,  46,  53, 60,
                                     68, 75, 83, 91, 99, 102, 110, 118, 125};
    for (int n = 1; n <= 132; ++n) {
        expectPair(QStringLiteral("sub/general/%1.bmp").arg(n),
                   QStringLiteral("sub/move/%1.bmp").arg(n),
                   QSize(310, firstOfPanel.contains(n) ? 53 : 48));
    }
    for (int k = 1; k <= 14; ++k) {
        expectImage(QStringLiteral("main/%1.bmp").arg(k), QSize(16, 16));
    }
    expectImage(QStringLiteral("main/filler.bmp"), QSize(153, 31));
    expectImage(QStringLiteral("sub/next.bmp"), QSize(71, 17));
    expectImage(QStringLiteral("sub/previous.bmp"), QSize(71, 17));
    expectImage(QStringLiteral("sub/strip.bmp"), QSize(239, 17));
}

}  // namespace
