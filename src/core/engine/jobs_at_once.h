#pragma once

#include <QString>

// How many jobs a run converts side by side, and how many encoder threads each one gets: the
// two are decided together. One job at a time gives its encoder every core; several jobs split
// the cores between them. Independent jobs scale almost perfectly while one encoder's threads
// often do not (x264 at small sizes waits on its serial parts, decoding and audio run beside
// one encoder thread), so Automatic runs more jobs where one job leaves cores idle.
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

    // How much faster one job of the family runs on two cores than on one (its encoder given
    // two threads, then one): 2.0 when it uses a second core fully, 1.0 when not at all.
    static double twoCoreSpeedUp(Family family);
    // One job's speed on `cores` cores against one core, from its two-core speed-up (the share
    // of its work that threads share, Amdahl's law).
    static double speedUp(double twoCoreSpeedUp, int cores);

    // Automatic: of the job counts that share the cores evenly (and all the rows, when there
    // are fewer rows than cores), the fewest whose batch comes within kCloseEnough of the
    // fastest, counting jobs side by side as independent; 1 when a row is read from an optical
    // drive (jobs side by side would make it seek between them). Fewer jobs finish each file
    // sooner.
    static int automatic(Family family, int cores, int rows, bool opticalSource);
    static int automatic(double twoCoreSpeedUp, int cores, int rows, bool opticalSource);
    static constexpr double kCloseEnough = 0.95;
    // The batch speed of `jobs` jobs on `cores` cores against one job on one core.
    static double batchSpeed(double twoCoreSpeedUp, int cores, int jobs);
    // What a run uses: `setting` 0 is Automatic; otherwise the setting, at most the cores
    // and the rows (and at least 1).
    static int forRun(int setting, Family family, int cores, int rows, bool opticalSource);
    // The encoder threads a job of the video codec `codec` starting now gets: the encoder's own
    // rule for its share of the cores among the jobs that will run beside it (`beside` counts
    // the job itself). 0 when it has the machine to itself, which leaves the choice to the
    // encoder front end as with one job at a time.
    static int threadsPerJob(const QString& codec, int cores, int beside);

    // The machine's cores.
    static int cores();
};
