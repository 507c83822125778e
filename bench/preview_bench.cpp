// Preview start to the first frame painted into a panel, through the preview library (software
// rendering, frames handed to the user-interface thread), against libmpv alone opening the same
// source with no video output to its first displayable frame, in the same run. A generated clip
// and a DVD title (through the "vts" protocol; the baseline opens the title's VOB file).
#include <mpv/client.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <vector>

#include "../tests/support/dvd_fixture.h"
#include "../tests/support/test_media.h"
#include "core/engine/dvd_locator.h"
#include "previewlib/preview.h"
#include "previewlib/preview_surface.h"

namespace {

QElapsedTimer clock_;
double firstFrameMs = -1;

struct StoppingSurface : PreviewSurface {
    void showFrame(const unsigned char*, int, int, int) override {
        if (firstFrameMs < 0) {
            firstFrameMs = clock_.nsecsElapsed() / 1e6;
            Stop();
        }
    }
    void clearFrame() override {}
};

double throughLibrary(const QByteArray& source) {
    static StoppingSurface surface;
    InitPreviewWindow(&surface, 176, 137);
    firstFrameMs = -1;
    clock_.start();
    Play(source.constData());
    return firstFrameMs;
}

// libmpv with no video output: creation to the first frame ready for display.
double libmpvAlone(const QByteArray& path) {
    std::setlocale(LC_NUMERIC, "C");
    clock_.start();
    mpv_handle* mpv = mpv_create();
    for (const char* option : {"vo=null", "ao=null", "terminal=no", "hwdec=no"}) {
        const QByteArray o(option);
        const int eq = o.indexOf('=');
        mpv_set_option_string(mpv, o.left(eq).constData(), o.mid(eq + 1).constData());
    }
    mpv_initialize(mpv);
    const char* command[] = {"loadfile", path.constData(), nullptr};
    mpv_command(mpv, command);
    double ms = -1;
    while (true) {
        mpv_event* e = mpv_wait_event(mpv, 10);
        if (e->event_id == MPV_EVENT_PLAYBACK_RESTART) {
            ms = clock_.nsecsElapsed() / 1e6;
            break;
        }
        if (e->event_id == MPV_EVENT_END_FILE || e->event_id == MPV_EVENT_SHUTDOWN ||
            e->event_id == MPV_EVENT_NONE) {
            break;
        }
    }
    mpv_terminate_destroy(mpv);
    return ms;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

void compare(const char* name, const QByteArray& source, const QByteArray& baseline, int runs) {
    std::vector<double> ours, theirs;
    for (int i = 0; i < runs; ++i) {
        ours.push_back(throughLibrary(source));
        theirs.push_back(libmpvAlone(baseline));
    }
    const double a = median(ours), b = median(theirs);
    std::printf(
        "%-10s preview to first painted frame %7.1f ms   libmpv vo=null %7.1f ms   ratio %.2f\n",
        name, a, b, b > 0 ? a / b : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("ORVEX_PREVIEW_AO", "null");
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 7;
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip.mp4"));
    if (!orvex::test::makeClip(clip, 3.0, 640, 360)) {
        std::fprintf(stderr, "preview_bench: could not make the clip\n");
        return 1;
    }
    std::printf("median of %d runs each, alternating\n", runs);
    compare("file", clip.toUtf8(), clip.toUtf8(), runs);
    const orvex::test::DvdFixture& dvd = orvex::test::dvdFixture();
    if (dvd.root.isEmpty()) {
        std::fprintf(stderr, "preview_bench: no DVD fixture: %s\n", qPrintable(dvd.error));
        return 1;
    }
    TConvertInfo info;
    info.ifoPath = dvd.ifoPath(1);
    info.endSector = qint32(QFileInfo(dvd.vobPath(1)).size() / 2048) - 1;
    compare("dvd title", dvdLocator(info).toUtf8(), dvd.vobPath(1).toUtf8(), runs);
    return 0;
}
