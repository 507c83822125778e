// Jobs at once: how much one job of each encoder family gains from a second core (its speed-up
// from one encoder thread to two), and a batch converted by orvex-cli with Automatic against
// one job at a time and against HandBrakeCLI converting the same files one after another
// (when installed), all in the same run. Ends with what Automatic would choose on 8, 16 and 32
// cores and the time it would take against one job at a time there, from the speed-ups
// measured here.
//
//   jobs_bench [--clips N] [--seconds S] [--quick]
//
// --quick measures the families on short clips and skips HandBrake and the DVD titles.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "../tests/support/dvd_fixture.h"
#include "../tests/support/test_media.h"
#include "bench_measure.h"
#include "core/engine/jobs_at_once.h"
#include "core/profiles/choices_store.h"
#include "core/profiles/profile_catalog.h"
#include "core/profiles/profile_selection.h"
#include "platform/ini_file.h"

using namespace orvex::test;
using orvex::bench::childCpuSeconds;

namespace {

struct Timed {
    double wall = 0;
    double cpu = 0;
    bool ok = false;
};

Timed timed(const QString& program, const QStringList& args) {
    Timed t;
    const double cpu = childCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QString log;
    t.ok = runProgram(program, args, &log, 3600000) == 0;
    t.wall = static_cast<double>(clock.elapsed()) / 1000.0;
    t.cpu = childCpuSeconds() - cpu;
    if (!t.ok) {
        std::fprintf(stderr, "jobs_bench: %s failed:\n%s\n", qPrintable(program),
                     qPrintable(log.right(800)));
    }
    return t;
}

// The sources' picture.
constexpr int kClipWidth = 1280;
constexpr int kClipHeight = 720;

QString cli() {
    return binDir() + QStringLiteral("/orvex-cli");
}

// One profile of the bench, at a size of its list ("" for its default).
struct BenchProfile {
    int number;
    const char* size;
};

// The item index of `size` in the profile's size list, -1 for the default.
int sizeIndex(int number, const QString& size, const QTemporaryDir& dir,
              JobsAtOnce::Family* family) {
    IniChoicesStore store{platform::IniFile(dir.filePath(QStringLiteral("pro bench.ini")))};
    ProfileSelection selection(QStringLiteral("orvex"), store, profilesPopPath());
    if (!selection.selectProfile(number)) {
        return -1;
    }
    int index = -1;
    for (int i = 0; !size.isEmpty() && i < selection.sizeList().count(); ++i) {
        if (selection.sizeList().items().at(i).startsWith(size)) {
            index = i;
            selection.sizeList().setItemIndex(i);
        }
    }
    *family =
        ProfileCatalog::isDiscProfile(number)
            ? JobsAtOnce::Family::Mpeg12
            : JobsAtOnce::familyOf(selection.profileArgs(), selection.sizeList().currentText(),
                                   selection.extension(), ProfileCatalog::isAudioOnly(number));
    return index;
}

QStringList profileArgs(int number, int size) {
    QStringList args{QStringLiteral("-q"), QStringLiteral("-p"), QString::number(number)};
    if (size >= 0) {
        args << QStringLiteral("--size") << QString::number(size);
    }
    return args;
}

// The command orvex-cli would run for one clip, with `threads` for the encoder (0: none).
QStringList commandFor(const QStringList& cliArgs, const QString& clip, const QString& out,
                       int threads) {
    QString printed;
    runProgram(cli(),
               cliArgs + QStringList{QStringLiteral("--print-commands"), QStringLiteral("-o"),
                                     QFileInfo(out).path(), clip},
               &printed);
    QStringList args = QProcess::splitCommand(printed.trimmed());
    if (args.size() < 3) {
        return {};
    }
    args.removeFirst();  // register.dat
    // Without an extension of its own, the output takes the profile's (AMR names no -f).
    const QString suffix = QFileInfo(args.last()).suffix();
    args.last() = QFileInfo(out).suffix().isEmpty() && !suffix.isEmpty()
                      ? out + QLatin1Char('.') + suffix
                      : out;
    if (threads > 0) {
        args.insert(args.size() - 1, QStringLiteral("-threads"));
        args.insert(args.size() - 1, QString::number(threads));
    }
    return args;
}

struct FamilyUse {
    JobsAtOnce::Family family;
    double cpuPerWall = 0;  // processor seconds per wall second, one encoder thread
    double twoThreads = 0;  // speed-up of two threads over one
};

// One job of the profile on one clip: with one thread, with two, and as one job at a time
// runs it.
std::optional<FamilyUse> measureFamily(int number, int size, JobsAtOnce::Family family,
                                       const QString& clip, const QTemporaryDir& dir) {
    // AMR and sound alone take no -threads (the queue gives them none either).
    const bool noThreads =
        family == JobsAtOnce::Family::Amr || family == JobsAtOnce::Family::AudioOnly;
    const QStringList cliArgs = profileArgs(number, size);
    const QStringList probe = commandFor(cliArgs, clip, dir.filePath(QStringLiteral("x")), 0);
    if (probe.isEmpty()) {
        return std::nullopt;
    }
    // Each twice, taking turns, and the faster of the two: what else runs on the machine only
    // ever slows a run down.
    Timed t[2];
    for (int round = 0; round < 2; ++round) {
        for (int threads : {1, 2}) {
            const QString file =
                dir.filePath(QStringLiteral("family_%1_%2_%3").arg(number).arg(size).arg(threads));
            const QStringList args = commandFor(cliArgs, clip, file, noThreads ? 0 : threads);
            const Timed run = timed(registerDatPath(), args);
            if (!run.ok) {
                return std::nullopt;
            }
            Timed& best = t[threads - 1];
            best = round == 0 || run.wall < best.wall ? run : best;
        }
    }
    return FamilyUse{family, t[0].cpu / t[0].wall, t[0].wall / t[1].wall};
}

void simulate(const std::vector<FamilyUse>& uses) {
    std::printf(
        "\nOn paper: what Automatic chooses with more cores from the speed-ups measured above, "
        "and its batch time against one job at a time\n(that one job gets every core; "
        "Amdahl's law through the two-thread speed-up; jobs side by side taken as "
        "independent)\n");
    std::printf("  %-22s", "family");
    for (int cores : {8, 16, 32}) {
        std::printf("  %2d cores: jobs x threads, time", cores);
    }
    std::printf("\n");
    for (const FamilyUse& u : uses) {
        std::printf("  %-22s", qPrintable(JobsAtOnce::nameOf(u.family)));
        for (int cores : {8, 16, 32}) {
            const int jobs = JobsAtOnce::automatic(u.twoThreads, cores, 1000, false);
            const double ratio = JobsAtOnce::batchSpeed(u.twoThreads, cores, 1) /
                                 JobsAtOnce::batchSpeed(u.twoThreads, cores, jobs);
            std::printf("  %13d x %2d, %.2fx       ", jobs, cores / jobs, ratio);
        }
        std::printf("\n");
    }
}

// The batch through orvex-cli: one job at a time, then Automatic, into fresh folders.
struct Batch {
    Timed serial;
    Timed automatic;
};

Batch runBatch(const QStringList& cliArgs, const QStringList& sources, const QString& folder) {
    // Twice each, taking turns, and the faster of the two (as for the families above).
    Batch b;
    for (int round = 0; round < 2; ++round) {
        for (const char* jobs : {"1", "auto"}) {
            const QString out = folder + QStringLiteral("/j") + QLatin1String(jobs);
            QDir(out).removeRecursively();
            QDir().mkpath(out);
            const Timed t = timed(cli(), cliArgs +
                                             QStringList{QStringLiteral("-j"), QLatin1String(jobs),
                                                         QStringLiteral("-o"), out} +
                                             sources);
            Timed& best = QLatin1String(jobs) == QLatin1String("1") ? b.serial : b.automatic;
            best = round == 0 || (t.ok && t.wall < best.wall) ? t : best;
        }
    }
    return b;
}

QString firstFile(const QString& folder) {
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    return files.isEmpty() ? QString() : folder + QLatin1Char('/') + files.first();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int clips = 8;
    double seconds = 10;
    bool quick = false;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--clips") && i + 1 < args.size()) {
            clips = std::max(1, args[++i].toInt());
        } else if (args[i] == QStringLiteral("--seconds") && i + 1 < args.size()) {
            seconds = std::max(1.0, args[++i].toDouble());
        } else if (args[i] == QStringLiteral("--quick")) {
            quick = true;
        }
    }
    QTemporaryDir dir;
    const int cores = JobsAtOnce::cores();
    std::printf("jobs_bench: %d clips of %.0f s at 1280x720, %d cores\n", clips, seconds, cores);
    QStringList sources;
    for (int i = 0; i < clips; ++i) {
        const QString clip = dir.filePath(QStringLiteral("clip%1.mkv").arg(i));
        if (!makeClip(clip, seconds, kClipWidth, kClipHeight, true,
                      {"-c:v", "libx264", "-preset", "ultrafast"})) {
            std::fprintf(stderr, "jobs_bench: cannot make %s\n", qPrintable(clip));
            return 1;
        }
        sources << clip;
    }

    // One job of each family, on a short clip: the machine it keeps busy with one thread.
    const QString shortClip = dir.filePath(QStringLiteral("short.mkv"));
    makeClip(shortClip, quick ? 3 : std::min(seconds, 6.0), kClipWidth, kClipHeight, true,
             {"-c:v", "libx264", "-preset", "ultrafast"});
    const BenchProfile families[] = {
        {37, ""}, {122, "640x480"}, {122, "1280x720"}, {27, ""}, {3, ""},  {7, ""},
        {11, ""}, {68, "176x144"},  {66, ""},          {17, ""}, {71, ""},
    };
    std::vector<FamilyUse> uses;
    std::printf(
        "\nOne job: processor use with one encoder thread, and its speed-up from one thread to "
        "two (the figure Automatic decides by; \"coded\" is the one in the program)\n");
    for (const BenchProfile& p : families) {
        JobsAtOnce::Family family{};
        const int size = sizeIndex(p.number, QLatin1String(p.size), dir, &family);
        const std::optional<FamilyUse> use = measureFamily(p.number, size, family, shortClip, dir);
        if (!use) {
            std::printf("  %-22s (profile %d) failed\n", qPrintable(JobsAtOnce::nameOf(family)),
                        p.number);
            continue;
        }
        uses.push_back(*use);
        std::printf(
            "  %-22s (profile %3d)  %.2f cores busy   2 threads %.2fx (coded %.2fx)   "
            "Automatic here: %d jobs\n",
            qPrintable(JobsAtOnce::nameOf(family)), p.number, use->cpuPerWall, use->twoThreads,
            JobsAtOnce::twoCoreSpeedUp(family), JobsAtOnce::automatic(family, cores, clips, false));
    }

    // The batch: Automatic against one job at a time, and HandBrake one after another.
    const QString handBrake =
        quick ? QString() : QStandardPaths::findExecutable(QStringLiteral("HandBrakeCLI"));
    std::printf("\nThe batch of %d clips (wall seconds; ratio < 1 is faster)\n", clips);
    const BenchProfile batchProfiles[] = {{3, ""}, {27, ""}, {37, ""}, {122, "1280x720"}};
    for (const BenchProfile& p : batchProfiles) {
        JobsAtOnce::Family family{};
        const int size = sizeIndex(p.number, QLatin1String(p.size), dir, &family);
        const QString folder = dir.filePath(QStringLiteral("batch%1").arg(p.number));
        const Batch b = runBatch(profileArgs(p.number, size), sources, folder);
        const int jobs = JobsAtOnce::automatic(family, cores, clips, false);
        std::printf(
            "  profile %3d %-20s one at a time %6.1f s  Automatic (%d jobs) %6.1f s  "
            "%.2fx\n",
            p.number, qPrintable(JobsAtOnce::nameOf(family)), b.serial.wall, jobs, b.automatic.wall,
            b.serial.ok && b.automatic.ok ? b.automatic.wall / b.serial.wall : 0.0);
        if (handBrake.isEmpty() || !b.automatic.ok) {
            continue;
        }
        // HandBrake's own queue on Linux converts one file after another; the same picture
        // (ours without its bars, square pixels) and video rate as ours, x264 or its MPEG-4
        // encoder. SSIM compares that picture alone, so our black bars count for nothing.
        const QString ours = firstFile(folder + QStringLiteral("/jauto"));
        const double fit = std::min(probeStream(ours, "v:0", "width").toDouble() / kClipWidth,
                                    probeStream(ours, "v:0", "height").toDouble() / kClipHeight);
        const QString w = QString::number(qRound(kClipWidth * fit / 2) * 2);
        const QString h = QString::number(qRound(kClipHeight * fit / 2) * 2);
        const QString kbps =
            QString::number(qRound(probeStream(ours, "v:0", "bit_rate").toDouble() / 1000.0));
        const bool x264 = family == JobsAtOnce::Family::X264Small ||
                          family == JobsAtOnce::Family::X264Sd ||
                          family == JobsAtOnce::Family::X264Hd;
        QString hbFirst;
        double hbWall = 0;
        bool hbOk = true;
        for (const QString& clip : sources) {
            const QString out = folder + QStringLiteral("/hb_") + QFileInfo(clip).baseName() +
                                QStringLiteral(".mp4");
            hbFirst = hbFirst.isEmpty() ? out : hbFirst;
            const Timed t =
                timed(handBrake, {"-i", clip, "-o", out, "-e", x264 ? "x264" : "mpeg4", "-w", w,
                                  "-l", h, "--non-anamorphic", "--crop", "0:0:0:0", "-b",
                                  kbps.toInt() > 0 ? kbps : "800", "-E", "av_aac"});
            hbWall += t.wall;
            hbOk = hbOk && t.ok;
        }
        const QString picture = w + QLatin1Char('x') + h;
        const QString rate = QStringLiteral("25");
        std::printf(
            "  %36s HandBrakeCLI one after another %6.1f s  Automatic %.2fx of it;  "
            "SSIM ours %.4f, HandBrake %.4f\n",
            "", hbWall, hbOk ? b.automatic.wall / hbWall : 0.0,
            orvex::bench::ssimAgainst(ours, sources.first(), rate, picture,
                                      w + QLatin1Char(':') + h),
            orvex::bench::ssimAgainst(hbFirst, sources.first(), rate, picture));
    }

    if (!quick) {
        // Titles of a DVD folder: the chapter view gives a title's chapters as rows.
        const DvdFixture& disc = dvdFixture();
        if (disc.root.isEmpty()) {
            std::printf("  DVD titles: no disc folder (%s)\n", qPrintable(disc.error));
        } else {
            const QString dvdCli = binDir() + QStringLiteral("/orvex-dvd-cli");
            const QStringList dvdArgs{"-q", "-p", "27", "--chapters", "--rows", "2-5"};
            JobsAtOnce::Family dvdFamily{};
            sizeIndex(27, QString(), dir, &dvdFamily);
            Batch b;
            for (const char* jobs : {"1", "auto"}) {
                const QString out = dir.filePath(QStringLiteral("dvd_j") + QLatin1String(jobs));
                QDir().mkpath(out);
                const Timed t = timed(
                    dvdCli, dvdArgs + QStringList{"-j", QLatin1String(jobs), "-o", out, disc.root});
                (QLatin1String(jobs) == QLatin1String("1") ? b.serial : b.automatic) = t;
            }
            std::printf(
                "  4 DVD rows (profile 27)          one at a time %6.1f s  Automatic (%d "
                "jobs) %6.1f s  %.2fx\n",
                b.serial.wall, JobsAtOnce::automatic(dvdFamily, cores, 4, false), b.automatic.wall,
                b.serial.ok && b.automatic.ok ? b.automatic.wall / b.serial.wall : 0.0);
        }
    }

    simulate(uses);
    return 0;
}
