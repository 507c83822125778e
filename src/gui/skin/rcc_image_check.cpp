#include "gui/skin/rcc_image_check.h"

#include <QList>
#include <QtEndian>

namespace {

constexpr int kHeaderSize = 20;
constexpr quint16 kDirectoryFlag = 0x02;

class Reader {
  public:
    explicit Reader(const QByteArray& image) : image_(image) {}

    bool has(qint64 offset, qint64 length) const {
        return offset >= 0 && length >= 0 && offset + length <= image_.size();
    }
    quint16 u16(qint64 offset) const {
        return qFromBigEndian<quint16>(reinterpret_cast<const uchar*>(image_.constData()) + offset);
    }
    quint32 u32(qint64 offset) const {
        return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(image_.constData()) + offset);
    }

  private:
    const QByteArray& image_;
};

}  // namespace

bool RccImageCheck::isWhole(const QByteArray& image, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    const Reader r(image);
    if (!r.has(0, kHeaderSize) || !image.startsWith("qres")) {
        return fail(QStringLiteral("it is not a resource bundle"));
    }
    const quint32 version = r.u32(4);
    if (version < 1 || version > 3) {
        return fail(QStringLiteral("its bundle format version %1 is unknown").arg(version));
    }
    const qint64 tree = r.u32(8);
    const qint64 data = r.u32(12);
    const qint64 names = r.u32(16);
    if (version >= 3 && !r.has(0, kHeaderSize + 4)) {
        return fail(QStringLiteral("it is cut short"));
    }
    const qint64 nodeSize = version >= 2 ? 22 : 14;
    if (!r.has(tree, nodeSize) || !r.has(data, 0) || !r.has(names, 0)) {
        return fail(QStringLiteral("it is cut short"));
    }
    // The tree is written breadth first: children always follow their parent, so requiring
    // a larger index rules out loops and bounds the walk by the image size.
    const qint64 maxNodes = (image.size() - tree) / nodeSize;
    QList<qint64> pending{0};
    qint64 visited = 0;
    while (!pending.isEmpty()) {
        const qint64 node = pending.takeLast();
        if (++visited > maxNodes) {
            return fail(QStringLiteral("its file tree loops"));
        }
        const qint64 at = tree + node * nodeSize;
        if (!r.has(at, nodeSize)) {
            return fail(QStringLiteral("its file tree is cut short"));
        }
        const qint64 nameAt = names + r.u32(at);
        if (node != 0) {
            if (!r.has(nameAt, 6) || !r.has(nameAt + 6, qint64(r.u16(nameAt)) * 2)) {
                return fail(QStringLiteral("a file name lies outside it"));
            }
        }
        const quint16 flags = r.u16(at + 4);
        if (flags & kDirectoryFlag) {
            const qint64 count = r.u32(at + 6);
            const qint64 first = r.u32(at + 10);
            if (count > maxNodes || first <= node || first + count > maxNodes) {
                return fail(QStringLiteral("its file tree is damaged"));
            }
            for (qint64 child = first; child < first + count; ++child) {
                pending.append(child);
            }
        } else {
            const qint64 blockAt = data + r.u32(at + 10);
            if (!r.has(blockAt, 4) || !r.has(blockAt + 4, r.u32(blockAt))) {
                return fail(QStringLiteral("a file's data lies outside it"));
            }
        }
    }
    return true;
}
