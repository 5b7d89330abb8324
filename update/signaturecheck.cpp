#include "update/signaturecheck.h"

#include <QList>

#include <sodium.h>

namespace {

constexpr int SignatureSize = crypto_sign_BYTES;

std::optional<QByteArray> decodeLine(const QByteArray &line, qsizetype size)
{
    const auto decoded =
        QByteArray::fromBase64Encoding(line, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size)
        return std::nullopt;
    return *decoded;
}

bool verifies(const QByteArray &signature, QByteArrayView message, const QByteArray &key)
{
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.data()),
                                       reinterpret_cast<const unsigned char *>(message.data()),
                                       quint64(message.size()),
                                       reinterpret_cast<const unsigned char *>(key.data())) == 0;
}

} // namespace

SignatureCheck::SignatureCheck(const SigningKey &key, const QByteArray &signatureFile)
    : m_key(key)
{
    if (sodium_init() < 0) {
        m_state = State::Malformed; // nothing can be verified without the library
        return;
    }
    m_state = parse(signatureFile);
    if (m_state == State::Ready && m_prehashed) {
        m_hash = std::make_unique<crypto_generichash_blake2b_state>();
        crypto_generichash_blake2b_init(m_hash.get(), nullptr, 0,
                                        crypto_generichash_blake2b_BYTES_MAX);
    }
}

SignatureCheck::~SignatureCheck() = default;

SignatureCheck::State SignatureCheck::parse(const QByteArray &signatureFile)
{
    if (signatureFile.size() > MaxFileSize)
        return State::Malformed;
    QList<QByteArray> lines = signatureFile.split('\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (lines.size() != 4)
        return State::Malformed;
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    const QByteArray trustedPrefix = "trusted comment: ";
    if (!lines[0].startsWith("untrusted comment: ") || !lines[2].startsWith(trustedPrefix))
        return State::Malformed;
    const auto signature = decodeLine(lines[1], 2 + SigningKey::KeyIdSize + SignatureSize);
    const auto global = decodeLine(lines[3], SignatureSize);
    if (!signature || !global)
        return State::Malformed;
    const QByteArray algorithm = signature->left(2);
    if (algorithm != "Ed" && algorithm != "ED")
        return State::Malformed;
    if (signature->mid(2, SigningKey::KeyIdSize) != m_key.keyId())
        return State::OtherKey;

    m_prehashed = algorithm == "ED";
    m_signature = signature->mid(2 + SigningKey::KeyIdSize);
    const QByteArray trusted = m_signature + lines[2].mid(trustedPrefix.size());
    return verifies(*global, trusted, m_key.key()) ? State::Ready : State::Altered;
}

void SignatureCheck::add(QByteArrayView chunk)
{
    if (m_state != State::Ready)
        return;
    if (m_hash)
        crypto_generichash_blake2b_update(m_hash.get(),
                                          reinterpret_cast<const unsigned char *>(chunk.data()),
                                          quint64(chunk.size()));
    else
        m_content += chunk;
}

bool SignatureCheck::matches()
{
    if (m_state != State::Ready)
        return false;
    if (!m_hash)
        return verifies(m_signature, m_content, m_key.key());
    QByteArray digest(crypto_generichash_blake2b_BYTES_MAX, Qt::Uninitialized);
    crypto_generichash_blake2b_final(m_hash.get(), reinterpret_cast<unsigned char *>(digest.data()),
                                     size_t(digest.size()));
    return verifies(m_signature, digest, m_key.key());
}
