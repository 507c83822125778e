#pragma once

#include <QString>

// How many jobs a run converts side by side, and how many encoder threads each one gets: the
// two are decided together. One job at a time gives its encoder every core; several jobs split
// the cores between them. Independent jobs scale almost perfectly while one encoder's threads
// do not (libxvid and FFmpeg's mpeg4 use one or two, x264 at small sizes waits on its serial
// parts), so Automatic runs as many jobs as the cores hold, each with its share of threads.
class JobsAtOnce {
  public:
    // Encoders that use the machine differently.
    enum class Family {
        X264Small,  // up to 480x360
        X264Sd,     // up to 720x576
        X264Hd,     // larger
        Mpeg4,
        Xvid,
        Wmv,  // wmv1, wmv2, msmpeg4
        Flv,
        H263,
        Mpeg12,  // mpeg1video, mpeg2video, the disc targets
        Other,   // rv10/rv20 and anything else with a picture
        AudioOnly,
        Amr,  // register.dat's own AMR-NB encoder behind FFmpeg's decoder
    };
    static constexpr int kFamilies = static_cast<int>(Family::Amr) + 1;

    // The family of a profile's encoder arguments at the chosen picture size ("480x320(HVGA)",
    // empty for the source's size) and extension.
    static Family familyOf(const QString& profileArgs, const QString& sizeText,
                           const QString& extension, bool audioOnly);
    static QString nameOf(Family family);

    // How many cores one job of the family keeps busy when its encoder has one thread
    // (processor time over wall time: decoding, scaling, muxing and the encoder together).
    static double coresPerJob(Family family);

    // Automatic: as many jobs as the cores hold without running more threads than there are
    // cores, never more than rows, and 1 when a row is read from an optical drive (jobs
    // side by side would make it seek between them).
    static int automatic(Family family, int cores, int rows, bool opticalSource);
    // What a run uses: `setting` 0 is Automatic; otherwise the setting, at most the cores
    // and the rows (and at least 1).
    static int forRun(int setting, Family family, int cores, int rows, bool opticalSource);
    // The encoder threads a job of the video codec `codec` starting now gets: the encoder's own
    // rule for its share of the cores among the jobs that will run beside it (`beside` counts
    // the job itself). 0 when it has the machine to itself, which leaves the choice to the
    // encoder front end as with one job at a time.
    static int threadsPerJob(const QString& codec, int cores, int beside);
    // The value of the last "-vcodec" (or "-c:v") in an argument text.
    static QString videoCodec(const QString& args);

    // The machine's cores.
    static int cores();
};
