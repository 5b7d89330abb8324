#include "engine/converter.h"

#include "engine/engineerror.h"

// Interim bodies: the real decoder and encoders land next.
class Converter::Private
{
public:
    bool convertFormat = true;
    int decoderThreads = 1;
    QString lastError;
};

Converter::Converter()
    : d(std::make_unique<Private>())
{
}

Converter::~Converter() = default;

void Converter::Close() {}

void Converter::OpenRead(const QString &, int, int)
{
    throw EngineError(QStringLiteral("Decoding is not available yet"));
}

int Converter::GetStatus() const
{
    return StatusClosed;
}
int Converter::GetFormatA() const
{
    throw EngineError(QStringLiteral("No format"));
}
int Converter::GetFormatB() const
{
    throw EngineError(QStringLiteral("No format"));
}

void Converter::OpenWrite(const QString &, int)
{
    throw EngineError(QStringLiteral("Encoding is not available yet"));
}

void Converter::SetInputFormat(int, int) {}
QByteArray Converter::ReadChunk(qint64)
{
    return {};
}
void Converter::WriteChunk(const QByteArray &) {}
int Converter::GetUnitBytes() const
{
    return 0;
}
qint64 Converter::GetLength() const
{
    return 0;
}
qint64 Converter::Seek(qint64, int)
{
    return 0;
}
bool Converter::CheckOggFormat(int, int, int, int, int) const
{
    return false;
}
void Converter::SetOggFormat(int, int, int, int, int, qint16) {}
void Converter::SetWavFormat(int, int, int) {}
void Converter::SetMp3Settings(const Mp3Settings &) {}
void Converter::SetWmaProfile(int) {}
QString Converter::FormatString() const
{
    return {};
}
void Converter::setConvertFormat(bool on)
{
    d->convertFormat = on;
}
bool Converter::convertFormat() const
{
    return d->convertFormat;
}
void Converter::setDecoderThreads(int threads)
{
    d->decoderThreads = threads;
}
int Converter::decoderThreads() const
{
    return d->decoderThreads;
}
QString Converter::lastError() const
{
    return d->lastError;
}
