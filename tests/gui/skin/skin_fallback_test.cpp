#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>

#include "gui/skin/skin_engine.h"
#include "gui/skin/skin_object.h"

namespace {

const QString kSkinFile = QStringLiteral(ORVEX_TEST_BIN_DIR "/skn.skn");

QByteArray readSkin() {
    QFile f(kSkinFile);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// The bundle stores its files uncompressed, so a name can be changed in place.
QByteArray replaced(QByteArray image, const QByteArray& from, const QByteArray& to) {
    const qsizetype at = image.indexOf(from);
    EXPECT_GE(at, 0) << from.toStdString();
    if (at >= 0) {
        image.replace(at, from.size(), to);
    }
    return image;
}

// A damaged skin still dresses the window completely, from the built-in copy, and the
// problem is reported once, naming the file.
void expectUsableFallback(const QString& path, const QString& variant) {
    SkinEngine engine;
    QSignalSpy reports(&engine, &SkinEngine::problemFound);
    QWidget window;
    engine.loadSkinFile(path);
    EXPECT_TRUE(engine.applyForm(&window, SkinEngine::kMainForm, variant));
    EXPECT_TRUE(
        engine.applyForm(&window, SkinEngine::kMainForm, SkinEngine::variantKey(true, true)));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(engine.problem().contains(path)) << engine.problem().toStdString();
    EXPECT_EQ(engine.origin(), QStringLiteral("the built-in skin"));
    EXPECT_EQ(window.size(), QSize(781, 558));
    for (const RequiredSkinObject& required : SkinEngine::requiredObjects()) {
        SkinObject* o = SkinEngine::findObject(&window, required.name);
        ASSERT_NE(o, nullptr) << required.name.toStdString();
        EXPECT_EQ(o->kind(), required.kind);
    }
}

TEST(SkinFallbackTest, ABrokenSkinFileGivesTheBuiltInSkinAndOneReport) {
    const QByteArray good = readSkin();
    ASSERT_FALSE(good.isEmpty());
    const qsizetype png = good.indexOf("IDAT");
    ASSERT_GT(png, 0);
    QByteArray scribbledImage = good;
    for (int i = 0; i < 64; ++i) {
        scribbledImage[png + 8 + i] = char(0x5a ^ i);
    }
    const struct {
        const char* name;
        std::function<QByteArray()> make;
        const char* variant;
    } cases[] = {
        {"empty", [] { return QByteArray(); }, ""},
        {"not a bundle", [] { return QByteArray("skin\n", 5); }, ""},
        {"cut in half", [&good] { return good.left(good.size() / 2); }, ""},
        {"tree offset scribbled",
         [&good] { return QByteArray(good).replace(8, 4, QByteArray("\x7f\xff\xff\xf0", 4)); }, ""},
        {"missing form",
         [&good] { return replaced(good, "\"voreriruredadazoz\"", "\"voreriruredadazoX\""); }, ""},
        {"missing object", [&good] { return replaced(good, "\"play_bar\"", "\"play_baz\""); }, ""},
        {"missing variant",
         [&good] { return replaced(good, "\"dvd-other\": {", "\"dvd-otheX\": {"); }, "dvd-other"},
        {"damaged image", [&scribbledImage] { return scribbledImage; }, ""},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("skn.skn"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.make());
        f.close();
        expectUsableFallback(path, QLatin1String(c.variant));
    }
    expectUsableFallback(dir.filePath(QStringLiteral("absent.skn")), QString());
}

TEST(SkinFallbackTest, ScribbledBytesNeverCrashTheLoader) {
    const QByteArray good = readSkin();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("skn.skn"));
    // Header and file tree first, where offsets live; then spots across the whole image.
    quint32 seed = 12345;
    for (int round = 0; round < 120; ++round) {
        QByteArray bad = good;
        seed = seed * 1103515245u + 12345u;
        const qsizetype span = round < 80 ? std::min<qsizetype>(4096, bad.size()) : bad.size();
        for (int k = 0; k < 6; ++k) {
            seed = seed * 1103515245u + 12345u;
            bad[qsizetype(seed % quint32(span))] = char(seed >> 24);
        }
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bad);
        f.close();
        SkinEngine engine;
        QWidget window;
        engine.loadSkinFile(path);
        ASSERT_TRUE(engine.applyForm(&window, SkinEngine::kMainForm)) << round;
        ASSERT_NE(SkinEngine::findObject(&window, QStringLiteral("play_bar")), nullptr) << round;
    }
}

}  // namespace
