#pragma once

#include <QByteArray>

#include <optional>

// The Ed25519 public key that update files must be signed with, in minisign's form: the base64
// line of a minisign public key file ("Ed", an 8-byte key id, the 32-byte key).
class SigningKey
{
public:
    static constexpr int KeyIdSize = 8;
    static constexpr int KeySize = 32;

    // Empty when `base64` is not such a key.
    static std::optional<SigningKey> fromBase64(const QByteArray &base64);

    const QByteArray &keyId() const { return m_keyId; }
    const QByteArray &key() const { return m_key; }

private:
    QByteArray m_keyId;
    QByteArray m_key;
};
