#pragma once

#include "update/signingkey.h"

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

struct crypto_generichash_blake2b_state;

// A detached signature in minisign's format, checked against the key the program carries.
// The signature file is read first, so a malformed one or one made with another key is refused
// before any content is fetched; the content is then fed in as it arrives.
//
// The file has four lines: an untrusted comment, base64 of the algorithm ("Ed": the content is
// signed; "ED": its BLAKE2b-512 hash is), the key id and the signature, the trusted comment, and
// base64 of the global signature over the signature and the trusted comment.
class SignatureCheck
{
public:
    enum class State {
        Ready,     // the signature file is well formed and made with our key
        Malformed, // not a signature file in minisign's format
        OtherKey,  // made with another key
        Altered,   // its trusted comment does not match its global signature
    };

    SignatureCheck(const SigningKey &key, const QByteArray &signatureFile);
    ~SignatureCheck();
    SignatureCheck(const SignatureCheck &) = delete;
    SignatureCheck &operator=(const SignatureCheck &) = delete;

    State state() const { return m_state; }
    // The next piece of the signed content.
    void add(QByteArrayView chunk);
    // True when the whole content added matches the signature; asked once, after the last add().
    bool matches();

    // Longest signature file taken.
    static constexpr qint64 MaxFileSize = 8 * 1024;

private:
    State parse(const QByteArray &signatureFile);

    SigningKey m_key;
    State m_state = State::Malformed;
    bool m_prehashed = false;
    QByteArray m_signature;
    // The content itself, for the "Ed" kind only (held whole, as minisign itself does, within
    // the download's size limit).
    QByteArray m_content;
    std::unique_ptr<crypto_generichash_blake2b_state> m_hash;
};
