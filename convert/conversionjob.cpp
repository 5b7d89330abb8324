#include "convert/conversionjob.h"

#include "convert/outputnaming.h"
#include "engine/converter.h"
#include "engine/engineerror.h"
#include "platform/plainreason.h"
#include "tags/tagcopy.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStringList>

#include <exception>
#include <limits>

namespace {

using Outcome = ConversionJob::Outcome;

QString nameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

// Discards the writer's output unless the conversion got as far as closing it.
class AbandonGuard
{
public:
    explicit AbandonGuard(Converter &converter)
        : m_converter(converter)
    {
    }
    ~AbandonGuard()
    {
        if (m_armed)
            m_converter.Abandon();
    }
    AbandonGuard(const AbandonGuard &) = delete;
    AbandonGuard &operator=(const AbandonGuard &) = delete;
    void release() { m_armed = false; }

private:
    Converter &m_converter;
    bool m_armed = true;
};

bool diskFull(const QString &output, const QString &detail)
{
    if (PlainReason::isDiskFull(detail))
        return true;
    // Some writes fail with a plain I/O error on a full disk; a disk with less room left
    // than one block of an encoder's output is full for this purpose.
    const QStorageInfo storage(QFileInfo(output).absolutePath());
    return storage.isValid() && storage.bytesAvailable() < 64 * 1024;
}

QString writeReason(const QString &output, const QString &detail)
{
    if (diskFull(output, detail))
        return QStringLiteral("%1 cannot be written: the disk is full").arg(nameOf(output));
    return QStringLiteral("%1 cannot be written: %2").arg(nameOf(output), detail);
}

QString seconds(qint64 frames, int rate)
{
    return QString::number(double(frames) / rate, 'f', 1) + QStringLiteral(" s");
}

// The warning of a source that was not whole, or "".
QString damageWarning(const QString &source, qint64 decoded, qint64 stated, int rate,
                      qint64 damaged)
{
    QStringList what;
    if (damaged > 0)
        what << (damaged == 1 ? QStringLiteral("1 damaged part was skipped")
                              : QStringLiteral("%1 damaged parts were skipped").arg(damaged));
    // A length read from the header may be an estimate from the bit rate (an MP3 without a
    // frame count): only a shortfall of more than a tenth and more than a second is damage.
    if (stated > 0 && decoded * 10 < stated * 9 && stated - decoded > rate)
        what << QStringLiteral("only %1 of its %2 could be decoded")
                    .arg(seconds(decoded, rate), seconds(stated, rate));
    if (what.isEmpty())
        return {};
    return QStringLiteral("%1 is damaged or truncated: %2")
        .arg(nameOf(source), what.join(QStringLiteral(", ")));
}

} // namespace

ConversionJob::ConversionJob(Converter &reader, Converter &writer, Callbacks callbacks,
                             PictureCopy pictures)
    : m_reader(reader)
    , m_writer(writer)
    , m_callbacks(std::move(callbacks))
    , m_pictures(pictures)
{
}

ConversionJob::Result ConversionJob::run(const QString &source, const QString &output)
{
    try {
        return convert(source, output);
    } catch (const std::exception &e) {
        // Out of memory or the like: the file fails, the run goes on.
        m_writer.Abandon();
        m_reader.Abandon();
        return {Outcome::Failed,
                source,
                output,
                QStringLiteral("%1 cannot be converted: %2")
                    .arg(nameOf(source), QString::fromLocal8Bit(e.what())),
                {},
                {},
                {}};
    }
}

ConversionJob::Result ConversionJob::convert(const QString &source, const QString &output)
{
    Result r{Outcome::Failed, source, output, {}, {}, {}, {}};
    if (output.isEmpty()) {
        r.reason = QStringLiteral("no output name can be built from %1").arg(nameOf(source));
        return r;
    }
    // The run's own registry (RunOutputs) has already refused outputs that another file of
    // the run claimed; the source itself is refused here for every caller.
    if (OutputNaming::sameFile(source, output)) {
        r.reason =
            QStringLiteral("the output would replace the source file %1").arg(nameOf(source));
        return r;
    }

    // A symbolic link under the output name counts as a file there, whatever it points to (or
    // whether it points anywhere): replacing it replaces the link, never its target.
    const QFileInfo out(output);
    if (out.isDir() && !out.isSymLink()) {
        r.reason =
            QStringLiteral("the output %1 is a folder").arg(QDir::toNativeSeparators(output));
        return r;
    }
    if (out.exists() || out.isSymLink()) {
        const OverwriteAnswer answer =
            m_callbacks.overwrite ? m_callbacks.overwrite(output) : OverwriteAnswer::Skip;
        if (answer != OverwriteAnswer::Replace) {
            r.outcome = Outcome::Skipped;
            r.reason = QStringLiteral("%1 already exists and was kept").arg(nameOf(output));
            return r;
        }
    }
    const QString folder = out.absolutePath();
    if (!QDir().mkpath(folder)) {
        r.reason = QStringLiteral("the folder %1 for %2 cannot be created")
                       .arg(QDir::toNativeSeparators(folder), nameOf(output));
        return r;
    }

    r.outcome = copy(source, output, &r.reason, &r.warning);
    if (r.outcome != Outcome::Converted)
        return r;
    try {
        r.tagLoss = CopyAllTags(source, output, m_pictures).join(QStringLiteral("; "));
    } catch (const EngineError &e) {
        r.tagWarning = QStringLiteral("the tag of %1 could not be carried over to %2: %3")
                           .arg(nameOf(source), nameOf(output), e.message());
    }
    return r;
}

ConversionJob::Outcome ConversionJob::copy(const QString &source, const QString &output,
                                           QString *reason, QString *warning)
{
    enum class Step { OpenSource, OpenOutput, Read, Write };
    Step step = Step::OpenSource;
    AbandonGuard closeSource(m_reader);
    AbandonGuard discardOutput(m_writer);
    try {
        m_reader.OpenRead(source);
        const int a = m_reader.GetFormatA();
        const int b = m_reader.GetFormatB();
        const qint64 chunk = qint64(a) * qint64(b);
        if (chunk > std::numeric_limits<qint32>::max())
            throw EngineError(QStringLiteral("its audio format is too large"));
        const qint64 total = m_reader.GetLength();
        const int unit = m_reader.GetUnitBytes();

        step = Step::OpenOutput;
        const bool isLong = total > qint64(LongFileSeconds) * a;
        const Instances instances =
            isLong && m_callbacks.instances ? m_callbacks.instances() : Instances{};
        m_writer.setEncoderInstances(instances.now, instances.mayGrow ? m_callbacks.moreInstances
                                                                      : std::function<int()>());
        m_writer.OpenWrite(output);
        m_writer.SetInputFormat(a, b);
        m_writer.setSourceBitDepth(m_reader.sourceBitDepth());

        qint64 done = 0;
        qint64 decoded = 0;
        for (;;) {
            step = Step::Read;
            const QByteArray data = m_reader.ReadChunk(chunk);
            if (data.isEmpty())
                break;
            step = Step::Write;
            m_writer.WriteChunk(data);
            decoded += data.size() / unit;
            done += data.size() / unit;
            if (total > 0 && done > total)
                done = total;
            if (m_callbacks.progress)
                m_callbacks.progress(done, total);
            if (m_callbacks.cancelled && m_callbacks.cancelled()) {
                *reason = QStringLiteral("the conversion of %1 was cancelled; %2 was not written")
                              .arg(nameOf(source), nameOf(output));
                return Outcome::Cancelled;
            }
        }
        const qint64 damaged = m_reader.damagedParts();
        // Less than half of the audio is no conversion of the file, only of a fragment.
        if (total > 0 && decoded * 2 < total && !m_reader.lengthIsEstimate()) {
            *reason =
                QStringLiteral("%1 is damaged or truncated: only %2 of its %3 could be "
                               "decoded; %4 was not written")
                    .arg(nameOf(source), seconds(decoded, a), seconds(total, a), nameOf(output));
            return Outcome::Failed;
        }
        step = Step::Write;
        m_writer.Close();
        discardOutput.release();
        *warning = damageWarning(source, decoded, total, a, damaged);
        return Outcome::Converted;
    } catch (const EngineError &e) {
        switch (step) {
        case Step::OpenSource:
            // Most of the reader's reasons name the file already.
            *reason =
                e.message().contains(nameOf(source))
                    ? e.message()
                    : QStringLiteral("%1 cannot be converted: %2").arg(nameOf(source), e.message());
            break;
        case Step::Read:
            *reason = QStringLiteral("%1 could not be read to the end: %2")
                          .arg(nameOf(source), e.message());
            break;
        case Step::OpenOutput:
        case Step::Write:
            *reason = writeReason(output, e.message());
            break;
        }
        return Outcome::Failed;
    }
}
