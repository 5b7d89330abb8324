#include "engine/libraryversions.h"

#include <QtGlobal>

extern "C" {
#include <SDL2/SDL_version.h>
#include <lame/lame.h>
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
#include <vorbis/codec.h>
}

#include <taglib/taglib.h>

namespace {

// FFmpeg packs its library versions as major << 16 | minor << 8 | micro.
QString ffmpegVersion(unsigned packed)
{
    return QStringLiteral("%1.%2.%3")
        .arg(AV_VERSION_MAJOR(packed))
        .arg(AV_VERSION_MINOR(packed))
        .arg(AV_VERSION_MICRO(packed));
}

QString text(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

} // namespace

QList<LibraryVersion> LibraryVersions::all()
{
    SDL_version sdl{};
    SDL_GetVersion(&sdl);
    return {
        {QStringLiteral("Qt"), text(qVersion())},
        {QStringLiteral("FFmpeg"), text(av_version_info())},
        {QStringLiteral("libavformat"), ffmpegVersion(avformat_version())},
        {QStringLiteral("libavcodec"), ffmpegVersion(avcodec_version())},
        {QStringLiteral("libavutil"), ffmpegVersion(avutil_version())},
        {QStringLiteral("libswresample"), ffmpegVersion(swresample_version())},
        {QStringLiteral("LAME"), text(get_lame_version())},
        {QStringLiteral("libvorbis"), text(vorbis_version_string())},
        // TagLib 1.13 has no call that reports the loaded library's version.
        {QStringLiteral("TagLib"),
         QStringLiteral("%1.%2.%3")
             .arg(TAGLIB_MAJOR_VERSION)
             .arg(TAGLIB_MINOR_VERSION)
             .arg(TAGLIB_PATCH_VERSION),
         false},
        {QStringLiteral("SDL"),
         QStringLiteral("%1.%2.%3").arg(sdl.major).arg(sdl.minor).arg(sdl.patch)},
    };
}
