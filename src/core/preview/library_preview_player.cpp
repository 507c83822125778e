#include "core/preview/library_preview_player.h"

namespace {

PreviewPlayer::PositionCallback& currentCallback() {
    static PreviewPlayer::PositionCallback callback;
    return callback;
}

void positionTrampoline(double seconds) {
    // A copy: the callback may replace itself while it runs.
    const PreviewPlayer::PositionCallback callback = currentCallback();
    if (callback) {
        callback(seconds);
    }
}

template <typename F>
bool resolve(QLibrary& library, const char* name, F& function) {
    function = reinterpret_cast<F>(library.resolve(name));
    return function != nullptr;
}

}  // namespace

LibraryPreviewPlayer::LibraryPreviewPlayer(QString libraryPath,
                                           std::function<void(const QString&)> loadFailed)
    : library_(std::move(libraryPath)), loadFailed_(std::move(loadFailed)) {}

LibraryPreviewPlayer::~LibraryPreviewPlayer() {
    currentCallback() = nullptr;
    if (loaded_) {
        api_.setEvent(nullptr);
    }
    // The library stays loaded: libmpv's threads may still be winding down.
}

QString LibraryPreviewPlayer::defaultPath(const QString& helperFolder) {
    return helperFolder + QStringLiteral("orvex-preview");
}

const LibraryPreviewPlayer::Api* LibraryPreviewPlayer::api() {
    if (!tried_) {
        tried_ = true;
        // The linker names carry the library's prefix (previewlib/preview.h).
        loaded_ = library_.load() && resolve(library_, "orvex_InitPreviewWindow", api_.init) &&
                  resolve(library_, "orvex_SetEventFuntion", api_.setEvent) &&
                  resolve(library_, "orvex_Seek", api_.seek) &&
                  resolve(library_, "orvex_Play", api_.play) &&
                  resolve(library_, "orvex_Pause", api_.pause) &&
                  resolve(library_, "orvex_Stop", api_.stop);
        if (!loaded_ && loadFailed_) {
            loadFailed_(QStringLiteral("The preview cannot play: %1").arg(library_.errorString()));
        }
    }
    return loaded_ ? &api_ : nullptr;
}

void LibraryPreviewPlayer::InitPreviewWindow(void* handle, qint32 width, qint32 height) {
    if (const Api* a = api()) {
        a->init(handle, width, height);
    }
}

void LibraryPreviewPlayer::SetEventFuntion(PositionCallback callback) {
    currentCallback() = std::move(callback);
    if (const Api* a = api()) {
        a->setEvent(currentCallback() ? positionTrampoline : nullptr);
    }
}

void LibraryPreviewPlayer::Seek(qint32 seconds) {
    if (const Api* a = api()) {
        a->seek(seconds);
    }
}

void LibraryPreviewPlayer::Play(const QByteArray& source) {
    if (const Api* a = api()) {
        a->play(source.constData());
    }
}

void LibraryPreviewPlayer::Pause() {
    if (loaded_) {  // nothing plays before the library is loaded
        api_.pause();
    }
}

void LibraryPreviewPlayer::Stop() {
    if (loaded_) {  // nothing plays before the library is loaded
        api_.stop();
    }
}
