#pragma once

#include "convert/conversionjob.h"
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

// Converts `source` into `output` with the program's conversion job, replacing an older
// output. "" when converted, else the reason.
inline QString convert(Converter &writer, const QString &source, const QString &output)
{
    Converter reader;
    ConversionJob::Callbacks callbacks;
    callbacks.overwrite = [](const QString &) {
        return ConversionJob::OverwriteAnswer::Replace;
    };
    const ConversionJob::Result r = ConversionJob(reader, writer, callbacks).run(source, output);
    return r.outcome == ConversionJob::Outcome::Converted ? QString() : r.reason;
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
