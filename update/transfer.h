#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

class QEventLoop;

class SignatureCheck;

// One download at a time into a file or into memory, waited for in a local event loop so the
// window keeps repainting. The file appears under its name only when the whole content arrived
// (and, when asked, matched its signature); anything else leaves no file behind and an older
// file of that name untouched.
class Transfer : public QObject
{
    Q_OBJECT
public:
    enum class Outcome {
        Saved,
        Busy,        // another download is still running
        NotAllowed,  // the address, or an address it redirected to, is not fetchable
        NotFound,    // the server has no such file (HTTP 404 or 410)
        Failed,      // no connection, another HTTP error, a broken transfer
        TooLarge,    // more than the limit was announced or sent
        TimedOut,    // no data for the stall time-out
        Cancelled,   // cancel() was called
        NotVerified, // the content does not match its signature
        WriteFailed, // the file could not be written
    };

    struct Request
    {
        QUrl url;
        QString target;               // full path of the file to save, or
        QByteArray *memory = nullptr; // where the content goes instead of a file
        qint64 maxBytes = 0;
        SignatureCheck *signature = nullptr; // when set, the content must match it to be kept
    };

    explicit Transfer(int stallTimeoutMs, QObject *parent = nullptr);
    ~Transfer() override;

    Outcome download(const Request &request);
    // Ends a running download; it returns Cancelled.
    void cancel();
    bool isRunning() const { return m_loop != nullptr; }

signals:
    void runningChanged(bool running);

private:
    void settle(Outcome outcome);

    QNetworkAccessManager m_network;
    int m_stallTimeoutMs;
    QEventLoop *m_loop = nullptr;
    bool m_settled = false;
    Outcome m_outcome = Outcome::Failed;
};
