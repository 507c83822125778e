#pragma once

#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "core/preview/preview_player.h"

namespace orvex::test {

// Records the six calls as texts ("Init 176x137", "Callback", "Seek 0", "Play <source>",
// "Pause", "Stop"). Play runs the test's script (position reports, clicks), then, like the real
// library, keeps the event loop running until Stop is called; a playback that is never stopped
// ends after two seconds with "Play timed out" recorded, so a broken stop fails instead of
// hanging.
class FakePreviewPlayer : public PreviewPlayer {
  public:
    void InitPreviewWindow(void* handle, qint32 width, qint32 height) override {
        lastHandle = handle;
        calls << QStringLiteral("Init %1x%2").arg(width).arg(height);
    }
    void SetEventFuntion(PositionCallback callback) override {
        report = std::move(callback);
        calls << QStringLiteral("Callback");
    }
    void Seek(qint32 seconds) override { calls << QStringLiteral("Seek %1").arg(seconds); }
    void Play(const QByteArray& source) override {
        calls << QStringLiteral("Play ") + QString::fromUtf8(source);
        stopped_ = false;
        ++depth;
        if (script) {
            script();
        }
        if (!stopped_) {
            QEventLoop loop;
            QTimer::singleShot(2000, &loop, [this, &loop] {
                calls << QStringLiteral("Play timed out");
                loop.quit();
            });
            quit_ = [&loop] { loop.quit(); };
            loop.exec();
            quit_ = nullptr;
        }
        --depth;
    }
    void Pause() override { calls << QStringLiteral("Pause"); }
    void Stop() override {
        calls << QStringLiteral("Stop");
        stopped_ = true;
        if (quit_) {
            quit_();
        }
    }

    QStringList calls;
    void* lastHandle = nullptr;
    PositionCallback report;
    // Runs inside Play, before it waits for Stop.
    std::function<void()> script;
    int depth = 0;  // Play calls under way

  private:
    bool stopped_ = false;
    std::function<void()> quit_;
};

}  // namespace orvex::test
