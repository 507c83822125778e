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

TitleSetData::Chain chainOf(IfoInfo* h, int32_t i) {
    unsigned char time[4] = {};
    const int32_t cellCount = ifoGetPGCIInfo(h, i, time);
    TitleSetData::Chain chain;
    chain.seconds = secondsOf(time);
    if (cellCount <= 0) {
        return chain;
    }
    std::vector<unsigned char> table(size_t(cellCount) * IFOINFO_CELL_RECORD_SIZE);
    ifoGetPGCICells(h, i, table.data());
    for (int32_t j = 0; j < cellCount; ++j) {
        const unsigned char* r = table.data() + size_t(j) * IFOINFO_CELL_RECORD_SIZE;
        chain.cells.push_back({littleEndian32(r), littleEndian32(r + 4), secondsOf(r + 13)});
    }
    const int32_t programCount = ifoGetPGCIPrograms(h, i, nullptr);
    std::vector<unsigned char> programs(size_t(programCount) * IFOINFO_PROGRAM_RECORD_SIZE);
    ifoGetPGCIPrograms(h, i, programs.data());
    for (int32_t p = 0; p < programCount; ++p) {
        const unsigned char* r = programs.data() + size_t(p) * IFOINFO_PROGRAM_RECORD_SIZE;
        chain.programs.push_back({littleEndian32(r), littleEndian32(r + 4), secondsOf(r + 8)});
    }
    return chain;
}

TitleSetData dataOf(IfoInfo* h) {
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
        data.chains.push_back(chainOf(h, i));
    }
    data.videoDescription = QString::fromLatin1(ifoGetVideoDesc(h));
    return data;
}

}  // namespace

QList<TitleSetRead> IfoTitleSetReader::readAll(const QStringList& paths) {
    std::vector<QByteArray> encoded;
    std::vector<const char*> names;
    for (const QString& path : paths) {
        encoded.push_back(QFile::encodeName(path));
    }
    for (const QByteArray& e : encoded) {
        names.push_back(e.constData());
    }
    const std::unique_ptr<IfoBatch, void (*)(IfoBatch*)> batch(
        ifoOpenBatch(names.data(), int32_t(names.size()), 0), ifoBatchClose);
    QList<TitleSetRead> reads;
    for (int32_t i = 0; i < ifoBatchCount(batch.get()); ++i) {
        TitleSetRead read;
        read.ifoPath = QFile::decodeName(ifoBatchPath(batch.get(), i));
        read.problem = QString::fromLocal8Bit(ifoBatchError(batch.get(), i));
        // Closed after reading: the handle holds everything read, nothing stays open.
        const std::unique_ptr<IfoInfo, void (*)(IfoInfo*)> h(ifoBatchTake(batch.get(), i),
                                                             ifoClose);
        if (h) {
            read.data = dataOf(h.get());
        } else if (read.problem.isEmpty()) {
            read.problem = QStringLiteral("it cannot be read");
        }
        reads << read;
    }
    return reads;
}
