#include "tags/streamedpictures.h"

#include "engine/engineerror.h"
#include "engine/outputfile.h"
#include "platform/plainreason.h"
#include "tags/oggpictures.h"
#include "tags/wavpictures.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

#include <vector>

bool StreamedPictures::takes(TagLib::File *file)
{
    return dynamic_cast<TagLib::Ogg::Vorbis::File *>(file) ||
           dynamic_cast<TagLib::Ogg::Opus::File *>(file) ||
           dynamic_cast<TagLib::RIFF::WAV::File *>(file);
}

void StreamedPictures::append(const QString &path, const std::vector<TagPicture> &pictures,
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
        if (magic == "OggS")
            OggPictures::copy(in, out, pictures);
        else if (magic == "RIFF")
            WavPictures::copy(in, out, pictures);
        else
            fail(QStringLiteral("this kind of file takes no pictures here"));
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
