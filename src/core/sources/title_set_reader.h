#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

// One title set (VTS_nn_0.IFO) as the IFO reader reports it: its program chains with their
// cells and programs, and its video, audio and subpicture descriptions.
struct TitleSetData {
    struct Cell {
        qint32 firstSector = 0;
        qint32 lastSector = 0;
        qint32 seconds = 0;  // hours * 3600 + minutes * 60 + seconds of the cell's playing time
    };
    // A program: what the disc calls a chapter, cells [firstCell, firstCell + cellCount).
    struct Program {
        qint32 firstCell = 0;
        qint32 cellCount = 1;
        qint32 seconds = 0;  // of its cells' playing times added up
    };
    struct Chain {
        qint32 seconds = 0;  // of the chain's playing time
        std::vector<Cell> cells;
        // In order, covering the cells; one per cell when the disc says nothing else.
        std::vector<Program> programs;
    };
    std::vector<Chain> chains;
    QString videoDescription;   // "MPEG-2 720x576 PAL 4:3"
    QStringList audioNames;     // "English AC-3 2ch (0x80)"
    QStringList subtitleNames;  // "Deutsch (0x20)"
};

// One title set of a batch: what was read, or why it could not be.
struct TitleSetRead {
    QString ifoPath;
    std::optional<TitleSetData> data;
    QString problem;  // "it is damaged, and so is its backup VTS_01_0.BUP"
};

// Reads title sets; the DVD titles read through this so tests can give them any disc.
class TitleSetReader {
  public:
    virtual ~TitleSetReader() = default;
    // The title sets of IFO files and disc images (an image stands for all its title sets),
    // all at once, each file read once; in the order of `paths`.
    virtual QList<TitleSetRead> readAll(const QStringList& paths) = 0;
};

// The reader over the IFO reader library: one batch (ifoOpenBatch), then each title set in
// the library's calling order.
class IfoTitleSetReader : public TitleSetReader {
  public:
    QList<TitleSetRead> readAll(const QStringList& paths) override;
};
