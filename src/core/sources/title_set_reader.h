#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

// One title set (VTS_nn_0.IFO) as the IFO reader reports it: its program chains with their
// cells, and its video, audio and subpicture descriptions.
struct TitleSetData {
    struct Cell {
        qint32 firstSector = 0;
        qint32 lastSector = 0;
        qint32 seconds = 0;  // hours * 3600 + minutes * 60 + seconds of the cell's playing time
    };
    struct Chain {
        qint32 seconds = 0;  // of the chain's playing time
        std::vector<Cell> cells;
    };
    std::vector<Chain> chains;
    QString videoDescription;   // "MPEG-2 720x576 PAL 4:3"
    QStringList audioNames;     // "English AC-3 2ch (0x80)"
    QStringList subtitleNames;  // "Deutsch (0x20)"
};

// Reads a title set; the DVD titles read through this so tests can give them any disc.
class TitleSetReader {
  public:
    virtual ~TitleSetReader() = default;
    // nullopt when the file cannot be opened as a title set.
    virtual std::optional<TitleSetData> read(const QString& ifoPath) = 0;
};

// The reader over the IFO reader library (ifoOpen .. ifoClose), in its calling order.
class IfoTitleSetReader : public TitleSetReader {
  public:
    std::optional<TitleSetData> read(const QString& ifoPath) override;
};
