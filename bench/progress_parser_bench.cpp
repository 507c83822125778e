// Throughput of the progress parser on FFmpeg-like output, handed over in 1024-byte chunks as
// the encoder job does, against a baseline that only scans the same chunks for '\r'.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/engine/job_list.h"
#include "core/engine/progress_monitor.h"

namespace {

QByteArray syntheticOutput(int records) {
    QByteArray out;
    out.reserve(records * 110);
    for (int k = 0; k < records; ++k) {
        const int centis = k * 4;  // 25 fps
        const int s = centis / 100;
        out +=
            QString::asprintf(
                "frame=%5d fps=%3d q=28.0 size=%8dkB time=%02d:%02d:%02d.%02d bitrate=%6.1fkbits/s "
                "speed=%4.2fx    \r",
                k + 1, 250, k / 4, s / 3600, (s / 60) % 60, s % 60, centis % 100, 230.9 + (k % 7),
                8.97)
                .toLatin1();
    }
    return out;
}

double secondsFor(const auto& body) {
    QElapsedTimer t;
    t.start();
    body();
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int kRecords = 200000;
    constexpr qsizetype kChunk = 1024;
    const QByteArray output = syntheticOutput(kRecords);

    JobList jobs;
    JobList::Row row;
    row.caption = "clip";
    jobs.addRow(row);
    ProgressMonitor monitor(jobs);
    monitor.startRun();
    monitor.startJob(0, kRecords * 4 / 100 + 1);

    std::vector<double> parser;
    std::vector<double> baseline;
    long long crs = 0;
    for (int round = 0; round < 5; ++round) {
        baseline.push_back(secondsFor([&] {
            for (qsizetype at = 0; at < output.size(); at += kChunk) {
                const char* p = output.constData() + at;
                const char* end = p + std::min(kChunk, output.size() - at);
                while ((p = static_cast<const char*>(std::memchr(p, '\r', end - p))) != nullptr) {
                    ++crs;
                    ++p;
                }
            }
        }));
        parser.push_back(secondsFor([&] {
            LineBuffer buffer;
            for (qsizetype at = 0; at < output.size(); at += kChunk) {
                buffer.append(
                    QByteArrayView(output.constData() + at, std::min(kChunk, output.size() - at)));
                monitor.parseOutput(buffer);
            }
        }));
    }
    std::sort(parser.begin(), parser.end());
    std::sort(baseline.begin(), baseline.end());
    const double p = parser[parser.size() / 2];
    const double b = baseline[baseline.size() / 2];
    std::printf("progress_parser_bench: %d records, %.1f MB in %lld-byte chunks\n", kRecords,
                output.size() / 1e6, static_cast<long long>(kChunk));
    std::printf("  parser:   %.0f records/s (%.1f ms), last value %d, %s\n", kRecords / p, p * 1e3,
                monitor.lastValue(), qPrintable(monitor.lastSpeed()));
    std::printf("  baseline: %.0f records/s (%.1f ms) scanning for CR (%lld found)\n", kRecords / b,
                b * 1e3, crs / 5);
    std::printf("  ratio parser/baseline time: %.2f\n", p / b);
    return 0;
}
