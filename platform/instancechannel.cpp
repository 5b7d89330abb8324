#include "platform/instancechannel.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <sys/socket.h>
#include <unistd.h>

namespace {

const QByteArray Marker = QByteArrayLiteral("TWR1");
constexpr qint64 HeaderSize = 8;
const char Confirmation = 'k';

QByteArray messageOf(const QStringList &files)
{
    const QByteArray payload = files.join(QChar(0)).toUtf8();
    QByteArray message = Marker;
    message.resize(HeaderSize);
    qToBigEndian(quint32(payload.size()), message.data() + Marker.size());
    return message + payload;
}

// Whether the process at the other end of a connected local socket runs as this user.
bool peerIsThisUser(const QLocalSocket &socket)
{
    struct ucred peer = {};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) ==
               0 &&
           peer.uid == ::geteuid();
}

} // namespace

InstanceChannel::InstanceChannel(QString socketPath, QObject *parent)
    : QObject(parent)
    , m_socketPath(std::move(socketPath))
{
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::listen()
{
    if (m_server)
        return m_server->isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_socketPath);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::takeConnections);
    return m_server->listen(m_socketPath);
}

void InstanceChannel::takeConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (m_open >= MaxConnections || !peerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_open;
        connect(socket, &QObject::destroyed, this, [this] { --m_open; });
        socket->setReadBufferSize(HeaderSize + MaxPayload);
        // A connection that does not deliver its message in time holds nothing for long.
        QTimer::singleShot(ConnectionTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        readFrom(socket);
    }
}

void InstanceChannel::readFrom(QLocalSocket *socket)
{
    if (socket->bytesAvailable() < HeaderSize)
        return;
    const QByteArray header = socket->peek(HeaderSize);
    const qint64 length = qFromBigEndian<quint32>(header.constData() + Marker.size());
    if (!header.startsWith(Marker) || length > MaxPayload) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < HeaderSize + length)
        return;
    socket->skip(HeaderSize);
    const QString text = QString::fromUtf8(socket->read(length));
    socket->write(&Confirmation, 1);
    socket->flush();
    socket->disconnectFromServer();
    const QStringList files = text.split(QChar(0), Qt::SkipEmptyParts);
    if (!files.isEmpty())
        emit filesReceived(files);
}

bool InstanceChannel::send(const QString &socketPath, const QStringList &files, int timeoutMs)
{
    const QByteArray message = messageOf(files);
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(int(deadline.remainingTime()))) {
            // The paths go only to an instance of this user.
            if (!peerIsThisUser(socket))
                return false;
            socket.write(message);
            while (socket.bytesToWrite() > 0) {
                if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
                    return false;
            }
            while (socket.bytesAvailable() < 1) {
                if (!socket.waitForReadyRead(int(deadline.remainingTime())))
                    return false;
            }
            char answer = 0;
            return socket.getChar(&answer) && answer == Confirmation;
        }
        // The instance holds the lock but may not listen yet: its window is still loading.
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
}
