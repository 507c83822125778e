#pragma once

#include <QLibrary>
#include <functional>

#include "core/preview/preview_player.h"

// The player over the preview library (previewlib/preview.h), loaded from `libraryPath` when
// it is first needed. A library that cannot be loaded plays nothing: Play returns at once and
// `loadFailed` hears why, once.
class LibraryPreviewPlayer : public PreviewPlayer {
  public:
    explicit LibraryPreviewPlayer(QString libraryPath,
                                  std::function<void(const QString&)> loadFailed = {});
    ~LibraryPreviewPlayer() override;
    void InitPreviewWindow(void* handle, qint32 width, qint32 height) override;
    void SetEventFuntion(PositionCallback callback) override;
    void Seek(qint32 seconds) override;
    void Play(const QByteArray& source) override;
    void Pause() override;
    void Stop() override;

    // The library's file in the helpers' folder, without its suffix: the loader adds the
    // system's (.so, .dylib, .dll).
    static QString defaultPath(const QString& helperFolder);

  private:
    struct Api {
        void (*init)(void*, qint32, qint32) = nullptr;
        void (*setEvent)(void (*)(double)) = nullptr;
        void (*seek)(qint32) = nullptr;
        void (*play)(const char*) = nullptr;
        void (*pause)() = nullptr;
        void (*stop)() = nullptr;
    };
    // The library's functions, loading it on first use; null when it cannot be loaded.
    const Api* api();

    QLibrary library_;
    std::function<void(const QString&)> loadFailed_;
    Api api_;
    bool tried_ = false;
    bool loaded_ = false;
};
