#include "previewlib/subtitle_overlay.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
}

#include <algorithm>
#include <string>

namespace orvex::preview {

namespace {

// A subtitle without an end of its own shows until the next one, at most this long.
constexpr double kLongestShow = 10.0;
// Decoded subtitles kept: a preview seeks back and forth over a few minutes of them.
constexpr size_t kKept = 256;

}  // namespace

SubtitleOverlay::SubtitleOverlay(const dvd::SubtitlePalette& palette) {
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_DVD_SUBTITLE);
    AVCodecContext* context = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (context == nullptr) {
        return;
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "palette", dvd::paletteOption(palette).c_str(), 0);
    if (avcodec_open2(context, codec, &options) < 0) {
        avcodec_free_context(&context);
    }
    av_dict_free(&options);
    decoder_ = context;
}

SubtitleOverlay::~SubtitleOverlay() {
    avcodec_free_context(&decoder_);
}

void SubtitleOverlay::add(const SubpictureUnit& unit) {
    AVPacket* packet = decoder_ ? av_packet_alloc() : nullptr;
    if (packet == nullptr) {
        return;
    }
    packet->data = const_cast<uint8_t*>(unit.bytes.data());
    packet->size = static_cast<int>(unit.bytes.size());
    packet->pts = static_cast<int64_t>(unit.pts);
    AVSubtitle sub{};
    int got = 0;
    if (avcodec_decode_subtitle2(decoder_, &sub, &got, packet) >= 0 && got) {
        ++decoded_;
        const double at = static_cast<double>(unit.pts) / 90000.0;
        // A unit read again after a seek replaces the one it was.
        shown_.erase(std::remove_if(shown_.begin(), shown_.end(),
                                    [at](const Shown& s) { return s.from == at; }),
                     shown_.end());
        for (unsigned r = 0; r < sub.num_rects; ++r) {
            const AVSubtitleRect& rect = *sub.rects[r];
            if (rect.type != SUBTITLE_BITMAP || rect.w <= 0 || rect.h <= 0 || !rect.data[1]) {
                continue;
            }
            Shown s;
            s.from = at + sub.start_display_time / 1000.0;
            s.to =
                sub.end_display_time > sub.start_display_time && sub.end_display_time < 0x7fffffff
                    ? at + sub.end_display_time / 1000.0
                    : s.from + kLongestShow;
            s.x = rect.x;
            s.y = rect.y;
            s.width = rect.w;
            s.height = rect.h;
            const auto* colours = reinterpret_cast<const uint32_t*>(rect.data[1]);
            for (int y = 0; y < rect.h; ++y) {
                for (int x = 0; x < rect.w; ++x) {
                    const uint8_t index = rect.data[0][y * rect.linesize[0] + x];
                    s.argb.push_back(index < rect.nb_colors ? colours[index] : 0);
                }
            }
            shown_.push_back(std::move(s));
        }
        avsubtitle_free(&sub);
        std::sort(shown_.begin(), shown_.end(),
                  [](const Shown& a, const Shown& b) { return a.from < b.from; });
        if (shown_.size() > kKept) {
            shown_.erase(shown_.begin(), shown_.begin() + long(shown_.size() - kKept));
        }
    }
    packet->data = nullptr;
    av_packet_free(&packet);
}

void SubtitleOverlay::draw(double seconds, unsigned char* frame, int stride,
                           const Placement& placement) const {
    const Placement& p = placement;
    if (p.width <= 0 || p.height <= 0 || p.pictureWidth <= 0 || p.pictureHeight <= 0) {
        return;
    }
    for (size_t i = 0; i < shown_.size(); ++i) {
        const Shown& s = shown_[i];
        // Shown until its end or until the next subtitle begins.
        double until = s.to;
        for (size_t j = i + 1; j < shown_.size(); ++j) {
            if (shown_[j].from > s.from) {
                until = std::min(until, shown_[j].from);
                break;
            }
        }
        if (seconds < s.from || seconds >= until) {
            continue;
        }
        // Each pixel of the frame's part of the subtitle takes the subtitle pixel it covers.
        const int left = p.x + s.x * p.width / p.pictureWidth;
        const int top = p.y + s.y * p.height / p.pictureHeight;
        const int right = p.x + (s.x + s.width) * p.width / p.pictureWidth;
        const int bottom = p.y + (s.y + s.height) * p.height / p.pictureHeight;
        for (int fy = std::max(top, p.y); fy < std::min(bottom, p.y + p.height); ++fy) {
            const int sy =
                std::clamp((fy - p.y) * p.pictureHeight / p.height - s.y, 0, s.height - 1);
            unsigned char* row = frame + fy * stride;
            for (int fx = std::max(left, p.x); fx < std::min(right, p.x + p.width); ++fx) {
                const int sx =
                    std::clamp((fx - p.x) * p.pictureWidth / p.width - s.x, 0, s.width - 1);
                const uint32_t c = s.argb[size_t(sy) * size_t(s.width) + size_t(sx)];
                const uint32_t alpha = c >> 24;
                unsigned char* px = row + fx * 4;  // R, G, B, X
                const uint32_t rgb[3] = {c >> 16 & 0xff, c >> 8 & 0xff, c & 0xff};
                for (int k = 0; k < 3; ++k) {
                    px[k] =
                        static_cast<unsigned char>((rgb[k] * alpha + px[k] * (255 - alpha)) / 255);
                }
            }
        }
    }
}

}  // namespace orvex::preview
