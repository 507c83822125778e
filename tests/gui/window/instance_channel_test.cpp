#include "gui/instance_channel.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

#include "../../support/qt_gtest.h"

namespace {

// Hands `paths` over from another thread, as a second program would, while this one's event
// loop lets the listening side answer.
bool handOverFromElsewhere(const QString& socket, const QStringList& paths) {
    bool taken = false;
    std::unique_ptr<QThread> other(
        QThread::create([&] { taken = InstanceChannel(socket).handOver(paths, 2000); }));
    other->start();
    orvex::test::waitUntil([&] { return other->isFinished(); }, 5000);
    other->wait();
    return taken;
}

TEST(InstanceChannel, TheFirstWindowListensAndLaterStartsHandOverTheirPaths) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString socket = dir.filePath("orvex.socket");
    EXPECT_FALSE(handOverFromElsewhere(socket, {"/a"})) << "no window yet";

    // A socket left behind by a window that died is taken over.
    QFile stale(socket);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    InstanceChannel first(socket);
    ASSERT_TRUE(first.listen());
    InstanceChannel second(socket);
    EXPECT_FALSE(second.listen()) << "one window per edition";

    QList<QStringList> received;
    QObject::connect(&first, &InstanceChannel::pathsReceived,
                     [&received](const QStringList& paths) { received << paths; });
    const QStringList paths{"/videos/a b.mp4", "/videos/ünï.mkv", "/videos/new\nline.avi"};
    EXPECT_TRUE(handOverFromElsewhere(socket, paths));
    EXPECT_TRUE(handOverFromElsewhere(socket, {"/videos/third.avi"}));
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0], paths);
    EXPECT_EQ(received[1], QStringList{"/videos/third.avi"});

    const QString mine = InstanceChannel::socketPathFor("orvex", "xcb :0");
    EXPECT_EQ(mine, InstanceChannel::socketPathFor("orvex", "xcb :0"));
    EXPECT_NE(mine, InstanceChannel::socketPathFor("orvex-dvd", "xcb :0"));
    EXPECT_NE(mine, InstanceChannel::socketPathFor("orvex", "xcb :1"));
    EXPECT_TRUE(mine.endsWith(".socket"));
}

}  // namespace
