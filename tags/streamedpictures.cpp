#include "tags/streamedpictures.h"

#include "engine/engineerror.h"
#include "engine/outputfile.h"
#include "platform/plainreason.h"
#include "tags/asfpictures.h"
#include "tags/mp4pictures.h"
#include "tags/oggpictures.h"
#include "tags/wavpictures.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <taglib/asffile.h>
#include <taglib/mp4file.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

#include <vector>

namespace {

constexpr char StandInMark[] = "Tonewright stand-in picture ";
constexpr qsizetype StandInMarkBytes = sizeof StandInMark - 1;

} // namespace

bool StreamedPictures::takes(TagLib::File *file)
{
    return dynamic_cast<TagLib::Ogg::Vorbis::File *>(file) ||
           dynamic_cast<TagLib::Ogg::Opus::File *>(file) ||
           dynamic_cast<TagLib::RIFF::WAV::File *>(file) ||
           dynamic_cast<TagLib::MP4::File *>(file) || dynamic_cast<TagLib::ASF::File *>(file);
}

std::vector<TagPicture> StreamedPictures::standIns(const std::vector<TagPicture> &pictures)
{
    std::vector<TagPicture> out = pictures;
    for (size_t i = 0; i < out.size(); ++i) {
        QByteArray bytes = StandInMark + QByteArray::number(qulonglong(i));
        bytes.resize(StandInBytes, '\0');
        out[i].data = TagLib::ByteVector(bytes.constData(), uint(bytes.size()));
    }
    return out;
}

int StreamedPictures::standInNumber(const char *data, qint64 size)
{
    const QByteArrayView bytes(data, size);
    if (size != StandInBytes || !bytes.startsWith(QByteArrayView(StandInMark, StandInMarkBytes)))
        return -1;
    bool ok = false;
    const int number = QByteArray(data + StandInMarkBytes).toInt(&ok);
    return ok ? number : -1;
}

const TagPicture &StreamedPictures::pictureFor(const std::vector<TagPicture> &pictures,
                                               const char *data, qint64 size)
{
    const int number = standInNumber(data, size);
    if (number < 0 || size_t(number) >= pictures.size())
        throw EngineError(QStringLiteral("a picture of its tag was not written here"));
    return pictures[size_t(number)];
}

void StreamedPictures::replaceStandIns(const QString &path, const std::vector<TagPicture> &pictures,
                                       const QString &shown)
{
    if (pictures.empty())
        return;
    const auto fail = [&](const QString &why) {
        throw EngineError(QStringLiteral("Cannot save the tag of \"%1\": %2")
                              .arg(QFileInfo(shown).fileName(), why));
    };
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        fail(PlainReason::of(in.errorString()));
    const QByteArray magic = in.peek(4);
    OutputFile out(path);
    if (!out.openTemporary())
        fail(QStringLiteral("no temporary file can be made in its folder: ") + out.errorString());
    try {
        int replaced = 0;
        if (magic == "OggS")
            replaced = OggPictures::copy(in, out, pictures);
        else if (magic == "RIFF")
            replaced = WavPictures::copy(in, out, pictures);
        else if (in.peek(8).endsWith("ftyp"))
            replaced = Mp4Pictures::copy(in, out, pictures);
        else if (magic == QByteArray::fromHex("3026b275"))
            replaced = AsfPictures::copy(in, out, pictures);
        if (replaced == 0)
            throw EngineError(QStringLiteral("the places of its pictures were not found"));
    } catch (const WriteFailed &) {
        fail(PlainReason::of(out.errorString()));
    } catch (const EngineError &e) {
        fail(e.message());
    }
    if (!out.commit())
        fail(PlainReason::of(out.errorString()));
}

void StreamedPictures::writeAll(QIODevice &out, const char *bytes, qint64 size)
{
    // A short write is tried again: the device says why only when nothing more goes in.
    for (qint64 done = 0; done < size;) {
        const qint64 n = out.write(bytes + done, size - done);
        if (n <= 0)
            throw WriteFailed();
        done += n;
    }
}

QByteArray StreamedPictures::little32(quint32 value)
{
    QByteArray b(4, '\0');
    qToLittleEndian(value, b.data());
    return b;
}

void StreamedPictures::copy(QIODevice &in, QIODevice &out, qint64 size)
{
    std::vector<char> buffer(1 << 20);
    while (size > 0) {
        const qint64 n = in.read(buffer.data(), std::min<qint64>(size, qint64(buffer.size())));
        if (n <= 0)
            throw EngineError(QStringLiteral("it ends before its last part"));
        writeAll(out, buffer.data(), n);
        size -= n;
    }
}
