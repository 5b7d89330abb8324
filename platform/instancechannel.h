#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// Files handed from a later start of the program to the running one, over a local socket in
// the runtime folder that only this user may open; each side also checks that the other runs
// as this user. A message is "TWR1", the byte length of the rest (32 bits, big-endian) and the
// UTF-8 paths separated by NUL characters; the receiver answers one byte once it has read them
// all.
class InstanceChannel : public QObject
{
    Q_OBJECT
public:
    explicit InstanceChannel(QString socketPath, QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Starts taking files. Only the holder of the instance lock listens, so a socket file that
    // a crashed instance left behind is replaced.
    bool listen();
    // Hands `files` to the listening instance; true once it has confirmed them. An instance
    // that holds the lock but is still loading is retried until `timeoutMs` has passed.
    static bool send(const QString &socketPath, const QStringList &files, int timeoutMs);

    // Longest message taken; anything longer is dropped with its connection.
    static constexpr qint64 MaxPayload = 4 * 1024 * 1024;
    // Connections served at once (more are closed at once), and how long each may take.
    static constexpr int MaxConnections = 8;
    static constexpr int ConnectionTimeoutMs = 5000;

signals:
    void filesReceived(const QStringList &files);

private:
    void takeConnections();
    void readFrom(QLocalSocket *socket);

    QString m_socketPath;
    QLocalServer *m_server = nullptr;
    int m_open = 0;
};
