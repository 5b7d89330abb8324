#pragma once

#include "engine/converter.h"

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstring>
#include <vector>

// Helpers shared by the converter tests.
namespace ConverterTest {

// Everything a reader delivers, checking on the way that each chunk is whole frames
// and no larger than asked.
inline QByteArray readAll(Converter &reader, qint64 chunk, bool *wholeFrames = nullptr)
{
    QByteArray all;
    const int unit = reader.GetUnitBytes();
    if (wholeFrames)
        *wholeFrames = true;
    for (;;) {
        const QByteArray data = reader.ReadChunk(chunk);
        if (data.isEmpty())
            break;
        if (wholeFrames && (data.size() % unit != 0 || data.size() > std::max<qint64>(chunk, unit)))
            *wholeFrames = false;
        all += data;
    }
    return all;
}

// Converts `source` into `output` the way the program's copy loop does.
inline void convert(Converter &writer, const QString &source, const QString &output)
{
    Converter reader;
    reader.OpenRead(source, 0, 1);
    writer.OpenWrite(output, 0);
    writer.SetInputFormat(reader.GetFormatA(), reader.GetFormatB());
    const qint64 n = qint64(reader.GetFormatA()) * reader.GetFormatB();
    for (QByteArray chunk = reader.ReadChunk(n); !chunk.isEmpty(); chunk = reader.ReadChunk(n))
        writer.WriteChunk(chunk);
    writer.Close();
    reader.Close();
}

inline std::vector<float> samples(const QByteArray &bytes)
{
    std::vector<float> out(size_t(bytes.size()) / sizeof(float));
    std::memcpy(out.data(), bytes.constData(), out.size() * sizeof(float));
    return out;
}

inline double rms(const std::vector<float> &s)
{
    double sum = 0;
    for (float v : s)
        sum += double(v) * v;
    return s.empty() ? 0 : std::sqrt(sum / double(s.size()));
}

} // namespace ConverterTest
