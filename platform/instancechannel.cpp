#include "platform/instancechannel.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QtEndian>

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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
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
