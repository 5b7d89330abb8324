#include "update/transfer.h"

#include "update/signaturecheck.h"
#include "update/updateconfig.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

#include <memory>

namespace {

struct ReplyDeleter
{
    void operator()(QNetworkReply *reply) const
    {
        reply->disconnect();
        if (reply->isRunning())
            reply->abort();
        reply->deleteLater();
    }
};

} // namespace

Transfer::Transfer(int stallTimeoutMs, QObject *parent)
    : QObject(parent)
    , m_stallTimeoutMs(stallTimeoutMs)
{
    // Every address a redirect leads to is held to the same rules as the first one.
    m_network.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
}

Transfer::~Transfer()
{
    cancel();
}

void Transfer::settle(Outcome outcome)
{
    if (m_settled)
        return;
    m_settled = true;
    m_outcome = outcome;
    if (m_loop)
        m_loop->quit();
}

void Transfer::cancel()
{
    if (isRunning())
        settle(Outcome::Cancelled);
}

Transfer::Outcome Transfer::download(const Request &request)
{
    if (isRunning())
        return Outcome::Busy;
    if (!UpdateConfig::isFetchable(request.url))
        return Outcome::NotAllowed;

    QSaveFile file(request.target);
    if (!request.memory) {
        QDir().mkpath(QFileInfo(request.target).absolutePath());
        if (!file.open(QIODevice::WriteOnly))
            return Outcome::WriteFailed;
    }
    QByteArray content;

    QNetworkRequest networkRequest(request.url);
    // A cached answer would hide a new release.
    networkRequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                                QNetworkRequest::AlwaysNetwork);
    std::unique_ptr<QNetworkReply, ReplyDeleter> reply(m_network.get(networkRequest));
    QNetworkReply *r = reply.get();

    QEventLoop loop;
    m_loop = &loop;
    m_settled = false;
    qint64 received = 0;

    QTimer stall;
    stall.setSingleShot(true);
    connect(&stall, &QTimer::timeout, this, [this] { settle(Outcome::TimedOut); });

    const auto take = [&] {
        const QByteArray chunk = r->readAll();
        if (chunk.isEmpty())
            return;
        stall.start(m_stallTimeoutMs);
        received += chunk.size();
        if (received > request.maxBytes) {
            settle(Outcome::TooLarge);
            return;
        }
        if (request.signature)
            request.signature->add(chunk);
        if (request.memory)
            content += chunk;
        else if (file.write(chunk) != chunk.size())
            settle(Outcome::WriteFailed);
    };
    connect(r, &QNetworkReply::redirected, this, [&](const QUrl &to) {
        if (UpdateConfig::isFetchable(to))
            emit r->redirectAllowed();
        else
            settle(Outcome::NotAllowed);
    });
    connect(r, &QNetworkReply::metaDataChanged, this, [&] {
        stall.start(m_stallTimeoutMs);
        const QVariant length = r->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > request.maxBytes)
            settle(Outcome::TooLarge);
    });
    connect(r, &QNetworkReply::readyRead, this, take);
    connect(r, &QNetworkReply::finished, this, [&] {
        if (r->error() != QNetworkReply::NoError) {
            const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            settle(status == 404 || status == 410 ? Outcome::NotFound : Outcome::Failed);
            return;
        }
        take();
        settle(Outcome::Saved);
    });

    stall.start(m_stallTimeoutMs);
    emit runningChanged(true);
    if (!m_settled) // a signal handler may already have settled it
        loop.exec();
    m_loop = nullptr;
    emit runningChanged(false);
    reply.reset();

    Outcome outcome = m_outcome;
    if (outcome == Outcome::Saved && request.signature && !request.signature->matches())
        outcome = Outcome::NotVerified;
    if (request.memory) {
        if (outcome == Outcome::Saved)
            *request.memory = content;
        return outcome;
    }
    if (outcome == Outcome::Saved && !file.commit())
        outcome = Outcome::WriteFailed;
    if (outcome != Outcome::Saved)
        file.cancelWriting();
    return outcome;
}
