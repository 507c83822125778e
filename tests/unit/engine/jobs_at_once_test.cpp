#include "core/engine/jobs_at_once.h"
#include "core/engine/option_assembly.h"

#include <gtest/gtest.h>

namespace {

using Family = JobsAtOnce::Family;

TEST(JobsAtOnce, FamilyComesFromTheEncoderAndThePictureSize) {
    const struct {
        const char* args;
        const char* size;
        const char* extension;
        bool audioOnly;
        Family family;
    } cases[] = {
        {" -vcodec libx264 -acodec aac -f mp4", "480x320(HVGA)", ".mp4", false, Family::X264Small},
        {" -vcodec libx264 -acodec aac -f mp4", "640x480(VGA)", ".mp4", false, Family::X264Sd},
        {" -vcodec libx264 -acodec aac -f mp4", "1280x720(720p)", ".mp4", false, Family::X264Hd},
        {" -vcodec libx264 -acodec aac -f mp4", "", ".mp4", false, Family::X264Sd},
        {" -vcodec mpeg4 -vtag DX50 -acodec libmp3lame", "320x240", ".avi", false, Family::Mpeg4},
        {" -vcodec libxvid -vtag XVID", "320x240", ".avi", false, Family::Xvid},
        {" -vcodec msmpeg4 -acodec wmav2 -f asf", "320x240", ".asf", false, Family::Wmv},
        {" -vcodec wmv2 -acodec wmav2", "320x240", ".wmv", false, Family::Wmv},
        {" -vcodec flv -acodec libmp3lame", "320x240", ".flv", false, Family::Flv},
        {" -vcodec h263 -acodec aac", "176x144", ".3gp", false, Family::H263},
        {" -target pal-dvd ", "720x576", ".mpg", false, Family::Mpeg12},
        {" -vcodec rv20 -acodec aac", "320x240", ".rm", false, Family::Other},
        // The last of two codec options counts, as it does for FFmpeg.
        {" -c:v mpeg4 -vcodec libxvid", "320x240", ".avi", false, Family::Xvid},
        {" -vn -acodec libmp3lame -f mp3", "", ".mp3", true, Family::AudioOnly},
        {" -vcodec h263 -acodec aac", "176x144", ".AMR", true, Family::Amr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JobsAtOnce::familyOf(c.args, c.size, c.extension, c.audioOnly), c.family)
            << c.args << " " << c.size;
    }
}

TEST(JobsAtOnce, JobsAndThreadsAreDecidedTogether) {
    const struct {
        int setting;
        int cores;
        int rows;
        int jobs;
        int threads;  // of a libx264 job among `jobs` (0: the encoder's own choice)
    } cases[] = {
        {1, 8, 10, 1, 0},   // one at a time: as it always was
        {3, 8, 10, 3, 2},   // the cores are shared
        {16, 4, 10, 4, 1},  // never more than the cores
        {4, 8, 2, 2, 4},    // nor than the rows
        {2, 1, 8, 1, 0},
    };
    for (const auto& c : cases) {
        const int jobs = JobsAtOnce::forRun(c.setting, Family::X264Sd, c.cores, c.rows, true);
        EXPECT_EQ(jobs, c.jobs) << c.setting << " on " << c.cores << " cores, " << c.rows;
        EXPECT_EQ(JobsAtOnce::threadsPerJob(QStringLiteral("libx264"), c.cores, jobs), c.threads)
            << jobs;
    }
    // An encoder with a rule of its own keeps it for its share; audio gets none.
    EXPECT_EQ(JobsAtOnce::threadsPerJob(QStringLiteral("libxvid"), 8, 3), 2);
    EXPECT_EQ(JobsAtOnce::threadsPerJob(QStringLiteral("libxvid"), 8, 1), 0);
    EXPECT_EQ(videoCodecOf(QStringLiteral(" -c:v mpeg4 -vcodec libxvid -an")), "libxvid");
}

TEST(JobsAtOnce, AutomaticRunsMoreJobsWhereOneJobLeavesCoresIdle) {
    const struct {
        double twoCoreSpeedUp;  // one job's, measured
        int cores;
        int rows;
        bool optical;
        int jobs;
    } cases[] = {
        {1.0, 2, 8, false, 2},  // a second core does nothing for one job
        {1.5, 2, 8, false, 2},
        {1.95, 2, 8, false, 1},    // one job fills the machine: one at a time
        {1.95, 4, 100, false, 2},  // two jobs come within 5 % of four
        {1.3, 8, 100, false, 8},
        {1.0, 8, 3, false, 3},  // never more jobs than rows
        {1.0, 32, 100, false, 32},
        {1.0, 6, 5, false, 5},   // all the rows, though they share the cores unevenly
        {1.0, 8, 100, true, 1},  // an optical drive reads one title at a time
        {1.0, 1, 8, false, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JobsAtOnce::automatic(c.twoCoreSpeedUp, c.cores, c.rows, c.optical), c.jobs)
            << c.twoCoreSpeedUp << " on " << c.cores << " cores, " << c.rows << " rows";
    }
    EXPECT_NEAR(JobsAtOnce::speedUp(1.6, 2), 1.6, 1e-9);
    // Automatic never runs more threads than the cores for any family.
    for (int f = 0; f < JobsAtOnce::kFamilies; ++f) {
        for (int cores : {1, 2, 3, 8, 16, 32}) {
            const int jobs = JobsAtOnce::automatic(Family(f), cores, 1000, false);
            EXPECT_GE(jobs, 1);
            const int threads = JobsAtOnce::threadsPerJob(QStringLiteral("mpeg4"), cores, jobs);
            EXPECT_LE(jobs * std::max(1, threads), cores)
                << JobsAtOnce::nameOf(Family(f)).toStdString() << " " << cores;
        }
    }
}

}  // namespace
