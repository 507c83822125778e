#include "gui/skin/skin_engine.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include "gui/skin/skin_object.h"
#include "gui/skin/skin_window.h"

namespace {

const QString kSkinFile = QStringLiteral(ORVEX_TEST_BIN_DIR "/skn.skn");
const QStringList kVariants = {QStringLiteral("video-other"), QStringLiteral("video-kamzu"),
                               QStringLiteral("dvd-other"), QStringLiteral("dvd-kamzu")};
const QStringList kDvdOnly = {QStringLiteral("dvdopen"), QStringLiteral("ifoopen"),
                              QStringLiteral("chapter"), QStringLiteral("dvdfile")};
const QStringList kVideoOnly = {QStringLiteral("openfiles"), QStringLiteral("openfolder"),
                                QStringLiteral("file")};

// Where the main window puts its plain controls in each variant (drop-down lists taken as
// 22 high, Panel1 as the 16 x 16 icon); no visible skin object may lie under them.
QList<QRect> plainControls(const QString& variant) {
    const bool dvd = variant.startsWith(QLatin1String("dvd"));
    if (variant.endsWith(QLatin1String("kamzu"))) {
        QList<QRect> r = {{94, 483, 187, 14},
                          {96, dvd ? 429 : 451, 16, 16},
                          {546, 296, 176, 137},
                          {15, 503, 722, 12},
                          {8, 121, 509, dvd ? 298 : 316}};
        for (int y : {121, 162, 203, 244}) {
            r.append({554, y, 168, 22});
        }
        if (dvd) {
            r += {{90, 453, 177, 22}, {336, 453, 177, 22}};
        }
        return r;
    }
    QList<QRect> r = {{dvd ? 82 : 422, dvd ? 470 : 66, 187, 14},
                      {62, 64, 16, 16},
                      {559, 294, 176, 137},
                      {15, 496, 722, 12},
                      {12, 89, 535, dvd ? 333 : 356}};
    for (int y : {128, 169, 210, 251}) {
        r.append({576, y, 149, 22});
    }
    if (dvd) {
        r += {{400, 61, 148, 22}, {596, 61, 144, 22}};
    }
    return r;
}

QPoint menuCorner(const QString& variant, const QString& name) {
    const bool kamzu = variant.endsWith(QLatin1String("kamzu"));
    const bool help = name == QLatin1String("help");
    return kamzu ? QPoint(help ? 366 : 85, 64) : QPoint(help ? 362 : 76, 54);
}

void sendMouse(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(to->mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(to, &event);
}

class SkinEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(engine.loadSkinFile(kSkinFile)) << engine.problem().toStdString();
        ASSERT_TRUE(engine.applyForm(&window, SkinEngine::kMainForm));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    SkinObject* object(const QString& name) { return SkinEngine::findObject(&window, name); }

    SkinEngine engine;
    QWidget window;
};

TEST_F(SkinEngineTest, EveryVariantHoldsEveryObjectClearOfThePlainControls) {
    SkinObject* profilesText = object(QStringLiteral("profilestext"));
    for (const QString& variant : kVariants) {
        SCOPED_TRACE(variant.toStdString());
        ASSERT_TRUE(engine.applyForm(&window, SkinEngine::kMainForm, variant));
        EXPECT_EQ(window.size(), QSize(781, 558));
        EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(SkinEngine::skinnedWindow(&window)->variantKey(), variant);
        // The window keeps these three pointers for its lifetime.
        EXPECT_EQ(object(QStringLiteral("profilestext")), profilesText);
        const bool dvd = variant.startsWith(QLatin1String("dvd"));
        for (const RequiredSkinObject& required : SkinEngine::requiredObjects()) {
            SkinObject* o = object(required.name);
            ASSERT_NE(o, nullptr) << required.name.toStdString();
            EXPECT_EQ(o->name(), required.name);
            EXPECT_EQ(o->kind(), required.kind);
            const bool hidden = (dvd ? kVideoOnly : kDvdOnly).contains(required.name);
            EXPECT_EQ(o->isVisible(), !hidden) << required.name.toStdString();
            EXPECT_TRUE(QRect(0, 0, 781, 558).contains(o->geometry()));
            if (!hidden) {
                for (const QRect& control : plainControls(variant)) {
                    EXPECT_FALSE(o->geometry().intersects(control))
                        << required.name.toStdString() << " under a control at " << control.x()
                        << "," << control.y();
                }
            }
        }
        for (const QString& menu :
             {QStringLiteral("file"), QStringLiteral("dvdfile"), QStringLiteral("help")}) {
            const QRect r = object(menu)->geometry();
            EXPECT_EQ(QPoint(r.left(), r.bottom() + 1), menuCorner(variant, menu))
                << menu.toStdString();
        }
    }
    EXPECT_TRUE(engine.problem().isEmpty());
}

TEST_F(SkinEngineTest, AClickOnACommandReportsThatObject) {
    QSignalSpy clicks(&engine, &SkinEngine::objectClicked);
    for (const RequiredSkinObject& required : SkinEngine::requiredObjects()) {
        SkinObject* o = object(required.name);
        if (required.kind != SkinObjectKind::Command || !o->isVisible()) {
            continue;
        }
        clicks.clear();
        QTest::mouseClick(o, Qt::LeftButton, {}, o->rect().center());
        ASSERT_EQ(clicks.size(), 1) << required.name.toStdString();
        EXPECT_EQ(clicks[0][0].value<SkinObject*>(), o);
    }
    // A press that is released outside the object is no click.
    SkinObject* convert = object(QStringLiteral("converter"));
    clicks.clear();
    QTest::mousePress(convert, Qt::LeftButton, {}, convert->rect().center());
    QTest::mouseRelease(convert, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(clicks.size(), 0);
}

TEST_F(SkinEngineTest, TheCloseObjectClosesTheWindow) {
    SkinObject* close = object(QStringLiteral("close"));
    QTest::mouseClick(close, Qt::LeftButton, {}, close->rect().center());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(SkinEngineTest, TheBarTakesPositionsAndFollowsADrag) {
    SkinObject* bar = object(QStringLiteral("play_bar"));
    SkinBar* asBar = bar;
    const struct {
        int set;
        int read;
    } cases[] = {{2500, 2500}, {0, 0}, {10000, 10000}, {20000, 10000}, {-3, 0}};
    for (const auto& c : cases) {
        asBar->setPosition(c.set);
        EXPECT_EQ(asBar->position(), c.read) << c.set;
    }

    asBar->setPosition(0);
    QSignalSpy presses(&engine, &SkinEngine::objectPressed);
    QSignalSpy releases(&engine, &SkinEngine::objectReleased);
    int atRelease = -1;
    QObject::connect(&engine, &SkinEngine::objectReleased,
                     [&atRelease](SkinObject* o) { atRelease = o->position(); });
    const int y = bar->height() / 2;
    sendMouse(bar, QEvent::MouseButtonPress, QPoint(bar->width() / 4, y), Qt::LeftButton);
    const int pressedAt = asBar->position();
    EXPECT_NEAR(pressedAt, 2500, 600);
    sendMouse(bar, QEvent::MouseMove, QPoint(bar->width() * 3 / 4, y), Qt::LeftButton);
    sendMouse(bar, QEvent::MouseButtonRelease, QPoint(bar->width() * 3 / 4, y), Qt::NoButton);
    EXPECT_NEAR(asBar->position(), 7500, 600);
    EXPECT_EQ(atRelease, asBar->position());
    ASSERT_EQ(presses.size(), 1);
    EXPECT_EQ(presses[0][0].value<SkinObject*>(), bar);
    ASSERT_EQ(releases.size(), 1);
    EXPECT_EQ(releases[0][0].value<SkinObject*>(), bar);

    // Past the ends the bar stops at them.
    sendMouse(bar, QEvent::MouseButtonPress, QPoint(bar->width() / 2, y), Qt::LeftButton);
    sendMouse(bar, QEvent::MouseMove, QPoint(bar->width() + 40, y), Qt::LeftButton);
    sendMouse(bar, QEvent::MouseButtonRelease, QPoint(bar->width() + 40, y), Qt::NoButton);
    EXPECT_EQ(asBar->position(), SkinBar::kMaxPosition);
}

TEST_F(SkinEngineTest, SetTextShowsTheText) {
    for (const QString& name : {QStringLiteral("profilestext"), QStringLiteral("play_time")}) {
        SkinObject* o = object(name);
        SkinText* text = o;
        const QImage before = window.grab(o->geometry()).toImage();
        text->setText(QString::fromUtf8("iPod(320\u00d7240)MPEG-4 Codec(*.mp4)"));
        text->redraw();
        const QImage after = window.grab(o->geometry()).toImage();
        ASSERT_EQ(before.size(), after.size());
        int changed = 0;
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                changed += before.pixel(x, y) != after.pixel(x, y);
            }
        }
        EXPECT_GT(changed, 40) << name.toStdString();
        EXPECT_EQ(o->text(), QString::fromUtf8("iPod(320\u00d7240)MPEG-4 Codec(*.mp4)"));
    }
}

}  // namespace
