#include "update/signingkey.h"

std::optional<SigningKey> SigningKey::fromBase64(const QByteArray &base64)
{
    const auto decoded =
        QByteArray::fromBase64Encoding(base64.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray &bytes = *decoded;
    if (!decoded || bytes.size() != 2 + KeyIdSize + KeySize || !bytes.startsWith("Ed"))
        return std::nullopt;
    SigningKey key;
    key.m_keyId = bytes.mid(2, KeyIdSize);
    key.m_key = bytes.mid(2 + KeyIdSize);
    return key;
}
