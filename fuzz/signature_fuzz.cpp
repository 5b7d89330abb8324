// Live update's signature reader on arbitrary signature files, for a fixed key and content.
// The stored inputs are signatures of that content made with that key, of both kinds.
#include "fuzz/fuzzsupport.h"
#include "update/signaturecheck.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const auto key =
        SigningKey::fromBase64("RWRGSI9j/SDo3DTPtLT1URGlUsQu8+Eo5TuBe1SgSWOSIrhy5BE3rFB9");
    check(key.has_value(), "the fixed key reads");
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    SignatureCheck signature(*key, file);
    signature.add("hi");
    signature.add("\n");
    const bool ready = signature.state() == SignatureCheck::State::Ready;
    check(!signature.matches() || ready, "only a well-formed signature of our key matches");
    return 0;
}
