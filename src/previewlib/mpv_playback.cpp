#include "previewlib/mpv_playback.h"

#include <QCoreApplication>
#include <clocale>
#include <cstring>

#include "dvdsectors/dvd_disc.h"
#include "dvdsectors/title_palette.h"
#include "dvdsectors/vts_locator.h"
#include "previewlib/vts_stream.h"

namespace orvex::preview {

namespace {

// Looks up an int64 field of a map node.
std::optional<int64_t> intField(const mpv_node& map, const char* key) {
    if (map.format != MPV_FORMAT_NODE_MAP) {
        return std::nullopt;
    }
    for (int i = 0; i < map.u.list->num; ++i) {
        if (std::strcmp(map.u.list->keys[i], key) == 0 &&
            map.u.list->values[i].format == MPV_FORMAT_INT64) {
            return map.u.list->values[i].u.int64;
        }
    }
    return std::nullopt;
}

std::string stringField(const mpv_node& map, const char* key) {
    if (map.format != MPV_FORMAT_NODE_MAP) {
        return {};
    }
    for (int i = 0; i < map.u.list->num; ++i) {
        if (std::strcmp(map.u.list->keys[i], key) == 0 &&
            map.u.list->values[i].format == MPV_FORMAT_STRING) {
            return map.u.list->values[i].u.string;
        }
    }
    return {};
}

// A program stream's MPEG audio (0xc0-0xc7) reaches the player as 0x100 + id; AC-3, DTS and
// LPCM keep their private-stream id.
bool sameStream(int64_t srcId, int wanted) {
    return srcId == wanted || srcId == 0x100 + wanted;
}

enum Observed : uint64_t { kTimePos = 1, kTrackList, kAudioSrc, kSubtitleSrc };

}  // namespace

MpvPlayback::MpvPlayback(Target target) : target_(target) {}

MpvPlayback::~MpvPlayback() {
    destroy();
}

bool MpvPlayback::create(const std::string& source, std::optional<double> start) {
    // The player refuses to start under a locale whose decimal point is not '.', and the
    // application object sets the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    wakeup_ = std::make_unique<platform::ThreadWakeup>();
    if (!wakeup_->isValid()) {
        return false;
    }
    QObject::connect(wakeup_.get(), &platform::ThreadWakeup::woken, this, &MpvPlayback::onWake);
    mpv_ = mpv_create();
    if (mpv_ == nullptr) {
        return false;
    }
    const QByteArray audioOut = qgetenv("ORVEX_PREVIEW_AO");
    struct Option {
        const char* name;
        std::string value;
    };
    std::vector<Option> options = {
        {"vo", "libmpv"},
        {"terminal", "no"},
        {"msg-level", "all=no"},
        {"hwdec", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"audio-fallback-to-null", "yes"},
        {"idle", "yes"},
        {"keep-open", "no"},
        // Positions and seeks in the stream's own time: a DVD title may start at any clock.
        {"rebase-start-time", "no"},
        {"ao", audioOut.isEmpty() ? std::string("pulse,alsa,null") : audioOut.toStdString()},
    };
    if (dvd_) {
        // A subtitle stream that starts late is found only when probing reaches its packet.
        options.push_back({"demuxer-lavf-probesize", "40000000"});
        options.push_back({"demuxer-lavf-analyzeduration", "40"});
    }
    if (start) {
        options.push_back({"start", std::to_string(*start)});
    }
    for (const Option& o : options) {
        mpv_set_option_string(mpv_, o.name, o.value.c_str());
    }
    if (mpv_initialize(mpv_) < 0 || addVtsProtocol(mpv_, dvd_ ? &tap_ : nullptr) < 0) {
        return false;
    }
    int advanced = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (target_.surface != nullptr && target_.width > 0 && target_.height > 0) {
        if (mpv_render_context_create(&render_, mpv_, params) < 0) {
            return false;
        }
        frame_.assign(static_cast<size_t>(target_.width) * target_.height * 4, 0);
        mpv_render_context_set_update_callback(
            render_, [](void* w) { static_cast<platform::ThreadWakeup*>(w)->wake(); },
            wakeup_.get());
    }
    mpv_observe_property(mpv_, kTimePos, "time-pos", MPV_FORMAT_DOUBLE);
    if (dvd_) {
        mpv_observe_property(mpv_, kTrackList, "track-list", MPV_FORMAT_NONE);
        mpv_observe_property(mpv_, kAudioSrc, "current-tracks/audio/src-id", MPV_FORMAT_INT64);
        mpv_observe_property(mpv_, kSubtitleSrc, "current-tracks/sub/src-id", MPV_FORMAT_INT64);
    }
    mpv_set_wakeup_callback(
        mpv_, [](void* w) { static_cast<platform::ThreadWakeup*>(w)->wake(); }, wakeup_.get());
    const char* command[] = {"loadfile", source.c_str(), nullptr};
    return mpv_command(mpv_, command) >= 0;
}

void MpvPlayback::destroy() {
    // After these calls the player's threads are gone and call nothing of ours.
    if (render_ != nullptr) {
        mpv_render_context_free(render_);
        render_ = nullptr;
    }
    if (mpv_ != nullptr) {
        mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
        mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
    }
    wakeup_.reset();
}

void MpvPlayback::onWake() {
    handleEvents();
    renderFrame();
}

void MpvPlayback::prepareSubtitle(const std::string& locatorText) {
    std::string error;
    const auto locator = dvd::parseVtsLocator(locatorText, &error);
    if (!locator) {
        return;
    }
    wantedAudioId_ = locator->audioId;
    wantedSubtitleId_ = locator->subtitleId;
    if (wantedSubtitleId_ != 0) {
        const auto disc = dvd::DvdDisc::open(locator->discRoot, &error);
        const auto palette = disc ? dvd::subtitlePalette(*disc, *locator) : std::nullopt;
        if (palette) {
            overlay_ = std::make_unique<SubtitleOverlay>(*palette);
        }
        if (overlay_ && !overlay_->ready()) {
            overlay_.reset();
        }
    }
    tap_ = std::make_shared<SubpictureTap>(overlay_ ? wantedSubtitleId_ : 0);
}

void MpvPlayback::run(const std::string& source, std::optional<double> start) {
    dvd_ = dvd::isVtsLocator(source);
    if (dvd_) {
        prepareSubtitle(source);
    }
    if (QCoreApplication::instance() == nullptr || !create(source, start)) {
        destroy();
        return;
    }
    if (!ended_) {
        loop_.exec();
    }
    destroy();
    if (target_.surface != nullptr) {
        target_.surface->clearFrame();
    }
}

void MpvPlayback::finish() {
    ended_ = true;
    loop_.quit();
}

void MpvPlayback::stop() {
    finish();
}

void MpvPlayback::togglePause() {
    if (mpv_ != nullptr && !ended_) {
        const char* command[] = {"cycle", "pause", nullptr};
        mpv_command_async(mpv_, 0, command);
    }
}

void MpvPlayback::seek(double seconds) {
    if (mpv_ != nullptr && !ended_) {
        const std::string target = std::to_string(seconds);
        const char* command[] = {"seek", target.c_str(), "absolute", nullptr};
        mpv_command_async(mpv_, 0, command);
    }
}

void MpvPlayback::handleEvents() {
    while (mpv_ != nullptr && !ended_) {
        mpv_event* event = mpv_wait_event(mpv_, 0);
        switch (event->event_id) {
            case MPV_EVENT_NONE:
                return;
            case MPV_EVENT_END_FILE:
            case MPV_EVENT_SHUTDOWN:
                finish();
                return;
            case MPV_EVENT_FILE_LOADED:
                if (dvd_) {
                    selectDvdTracks();
                }
                break;
            case MPV_EVENT_PROPERTY_CHANGE: {
                const auto* property = static_cast<mpv_event_property*>(event->data);
                if (event->reply_userdata == kTimePos && property->format == MPV_FORMAT_DOUBLE) {
                    if (target_.onPosition != nullptr) {
                        // The callback may run a nested loop or stop us: read nothing after.
                        target_.onPosition(*static_cast<double*>(property->data));
                        if (ended_) {
                            return;
                        }
                    }
                } else if (event->reply_userdata == kTrackList) {
                    selectDvdTracks();
                } else if (event->reply_userdata == kAudioSrc ||
                           (event->reply_userdata == kSubtitleSrc && !overlay_)) {
                    const int id = property->format == MPV_FORMAT_INT64
                                       ? static_cast<int>(*static_cast<int64_t*>(property->data))
                                       : 0;
                    (event->reply_userdata == kAudioSrc ? playedAudioId_ : shownSubtitleId_) =
                        id >= 0x100 ? id - 0x100 : id;
                }
                break;
            }
            default:
                break;
        }
    }
}

// Chooses the locator's audio and subtitle streams by their program-stream ids once the
// player lists them (a late subtitle stream may appear after the file has loaded).
void MpvPlayback::selectDvdTracks() {
    mpv_node list;
    if (mpv_get_property(mpv_, "track-list", MPV_FORMAT_NODE, &list) < 0) {
        return;
    }
    if (list.format == MPV_FORMAT_NODE_ARRAY) {
        for (int i = 0; i < list.u.list->num; ++i) {
            const mpv_node& track = list.u.list->values[i];
            const std::string type = stringField(track, "type");
            const auto id = intField(track, "id");
            const auto srcId = intField(track, "src-id");
            if (!id || !srcId) {
                continue;
            }
            const bool audio = type == "audio" && wantedAudioId_ != 0 && playedAudioId_ == 0 &&
                               sameStream(*srcId, wantedAudioId_);
            const bool subtitle = type == "sub" && wantedSubtitleId_ != 0 && !overlay_ &&
                                  shownSubtitleId_ == 0 && *srcId == wantedSubtitleId_;
            if (audio || subtitle) {
                int64_t value = *id;
                mpv_set_property_async(mpv_, 0, audio ? "aid" : "sid", MPV_FORMAT_INT64, &value);
            }
        }
    }
    mpv_free_node_contents(&list);
    if (wantedSubtitleId_ == 0 || overlay_) {
        mpv_set_property_string(mpv_, "sid", "no");
    }
}

// Draws the subtitle that shows now over the frame just rendered, where the player put the
// picture in it.
void MpvPlayback::drawSubtitle() {
    for (const SubpictureUnit& unit : tap_->take()) {
        overlay_->add(unit);
    }
    if (overlay_->decoded() > 0) {
        shownSubtitleId_ = wantedSubtitleId_;
    }
    double seconds = 0;
    mpv_node osd;
    if (mpv_get_property(mpv_, "time-pos", MPV_FORMAT_DOUBLE, &seconds) < 0 ||
        mpv_get_property(mpv_, "osd-dimensions", MPV_FORMAT_NODE, &osd) < 0) {
        return;
    }
    const auto field = [&osd](const char* key) { return intField(osd, key).value_or(0); };
    SubtitleOverlay::Placement p;
    p.x = int(field("ml"));
    p.y = int(field("mt"));
    p.width = int(field("w") - field("ml") - field("mr"));
    p.height = int(field("h") - field("mt") - field("mb"));
    mpv_free_node_contents(&osd);
    int64_t pictureWidth = 0;
    int64_t pictureHeight = 0;
    if (mpv_get_property(mpv_, "video-params/w", MPV_FORMAT_INT64, &pictureWidth) >= 0 &&
        mpv_get_property(mpv_, "video-params/h", MPV_FORMAT_INT64, &pictureHeight) >= 0) {
        p.pictureWidth = int(pictureWidth);
        p.pictureHeight = int(pictureHeight);
    }
    overlay_->draw(seconds, frame_.data(), target_.width * 4, p);
}

void MpvPlayback::renderFrame() {
    if (render_ == nullptr || ended_) {
        return;
    }
    if ((mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) == 0) {
        return;
    }
    int size[2] = {target_.width, target_.height};
    size_t stride = static_cast<size_t>(target_.width) * 4;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_SW_SIZE, size},
        {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("rgb0")},
        {MPV_RENDER_PARAM_SW_STRIDE, &stride},
        {MPV_RENDER_PARAM_SW_POINTER, frame_.data()},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_render(render_, params) >= 0) {
        if (overlay_) {
            drawSubtitle();
        }
        target_.surface->showFrame(frame_.data(), target_.width, target_.height,
                                   static_cast<int>(stride));
    }
}

}  // namespace orvex::preview
