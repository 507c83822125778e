#include "gui/instance_channel.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

// A message: "ORVX", the length of the rest as four bytes (big-endian), then the paths in
// UTF-8, each ended by a NUL byte (which no path holds).
const QByteArray kMagic("ORVX");
constexpr int kHeaderBytes = 8;
// A hand-over is a few paths; anything much larger is not ours.
constexpr quint32 kMaxPayloadBytes = 4 * 1024 * 1024;
const char kTaken = 'k';

}  // namespace

QString InstanceChannel::socketPathFor(const QString& programFileName, const QString& display) {
    // Qt makes the runtime folder the user's own (mode 0700) when XDG_RUNTIME_DIR is unset.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    // The file name may hold anything; the socket's name stays short and plain.
    const QByteArray digest = QCryptographicHash::hash(
        programFileName.toUtf8() + '\0' + display.toUtf8(), QCryptographicHash::Sha1);
    return folder + QStringLiteral("/orvex-%1.socket").arg(QLatin1String(digest.toHex().left(16)));
}

InstanceChannel::InstanceChannel(QString socketPath, QObject* parent)
    : QObject(parent), path_(std::move(socketPath)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        }
    });
}

bool InstanceChannel::handOver(const QStringList& paths, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    QByteArray payload;
    for (const QString& path : paths) {
        payload += path.toUtf8() + '\0';
    }
    QByteArray message = kMagic;
    QDataStream(&message, QIODevice::Append) << quint32(payload.size());
    socket.write(message + payload);
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    // The window says it took them, so nothing is lost to a window that is just closing.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return false;
        }
    }
    return socket.read(1) == QByteArray(1, kTaken);
}

bool InstanceChannel::listen() {
    // Qt's listen() replaces a socket file that is there, live or not: ask first whether a
    // window answers on it, and take over only a socket left behind by one that died.
    QLocalSocket probe;
    probe.connectToServer(path_);
    if (probe.waitForConnected(1000)) {
        return false;
    }
    QLocalServer::removeServer(path_);
    return server_.listen(path_);
}

void InstanceChannel::readFrom(QLocalSocket* socket) {
    if (socket->bytesAvailable() < kHeaderBytes) {
        return;  // more to come
    }
    const QByteArray header = socket->peek(kHeaderBytes);
    quint32 length = 0;
    QDataStream(header.mid(kMagic.size())) >> length;
    if (!header.startsWith(kMagic) || length > kMaxPayloadBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < kHeaderBytes + qint64(length)) {
        return;
    }
    socket->read(kHeaderBytes);
    const QByteArray payload = socket->read(length);
    QStringList paths;
    for (const QByteArray& path : payload.split('\0')) {
        if (!path.isEmpty()) {
            paths << QString::fromUtf8(path);
        }
    }
    socket->write(QByteArray(1, kTaken));
    socket->flush();
    socket->disconnectFromServer();
    emit pathsReceived(paths);
}
