#include "core/sources/title_set_reader.h"

#include <QFile>
#include <memory>

#include "ifoinfo/ifoinfo.h"

namespace {

qint32 secondsOf(const unsigned char* hms) {
    return qint32(hms[0]) * 3600 + qint32(hms[1]) * 60 + qint32(hms[2]);
}

qint32 littleEndian32(const unsigned char* p) {
    return static_cast<qint32>(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 |
                               quint32(p[3]) << 24);
}

}  // namespace

std::optional<TitleSetData> IfoTitleSetReader::read(const QString& ifoPath) {
    // Closed after reading: the handle holds everything read, nothing stays open.
    const std::unique_ptr<IfoInfo, void (*)(IfoInfo*)> handle(
        ifoOpen(QFile::encodeName(ifoPath).constData(), 0), ifoClose);
    if (!handle) {
        return std::nullopt;
    }
    IfoInfo* h = handle.get();
    TitleSetData data;
    const int32_t chainCount = ifoGetNumPGCI(h);
    const int32_t audioCount = ifoGetNumAudio(h);
    for (int32_t i = 0; i < audioCount; ++i) {
        data.audioNames << QString::fromLatin1(ifoGetAudioDesc(h, i));
    }
    const int32_t subtitleCount = ifoGetNumSubPic(h);
    for (int32_t i = 0; i < subtitleCount; ++i) {
        data.subtitleNames << QString::fromLatin1(ifoGetSubPicDesc(h, i));
    }
    for (int32_t i = 0; i < chainCount; ++i) {
        unsigned char time[4] = {};
        const int32_t cellCount = ifoGetPGCIInfo(h, i, time);
        TitleSetData::Chain chain;
        chain.seconds = secondsOf(time);
        if (cellCount > 0) {
            std::vector<unsigned char> table(size_t(cellCount) * IFOINFO_CELL_RECORD_SIZE);
            ifoGetPGCICells(h, i, table.data());
            for (int32_t j = 0; j < cellCount; ++j) {
                const unsigned char* r = table.data() + size_t(j) * IFOINFO_CELL_RECORD_SIZE;
                chain.cells.push_back(
                    {littleEndian32(r), littleEndian32(r + 4), secondsOf(r + 13)});
            }
        }
        data.chains.push_back(std::move(chain));
    }
    data.videoDescription = QString::fromLatin1(ifoGetVideoDesc(h));
    return data;
}
