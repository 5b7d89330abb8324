// FileInfo benchmark: run by hand, e.g. `bin/fileinfo_bench`. Loads 1,000 song-length files
// (four minutes each, in the usual formats, the header-less VBR MP3 that needs a scan among
// them) as the list does, then saves tags. Prints each figure with its target and exits
// non-zero when a target is missed.
#include "tags/fileinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QString make(const QString &dir, const QString &name, const QStringList &codec)
{
    const QString path = QDir(dir).filePath(name);
    QProcess p;
    p.start("ffmpeg", QStringList{"-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
                                  "anoisesrc=d=240:a=0.2:c=pink", "-ac", "2"} +
                          codec + QStringList{path});
    p.waitForFinished(600000);
    return p.exitCode() == 0 ? path : QString();
}

bool report(const char *what, double value, double target, const char *unit)
{
    const bool ok = value <= target;
    std::printf("%-52s %10.1f %s (target <= %.0f) %s\n", what, value, unit, target,
                ok ? "ok" : "MISSED");
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QList<QPair<QString, QStringList>> kinds = {
        {"cbr.mp3", {"-c:a", "libmp3lame", "-b:a", "192k"}},
        {"vbr.mp3", {"-c:a", "libmp3lame", "-q:a", "2"}},
        {"vbr-noheader.mp3", {"-c:a", "libmp3lame", "-q:a", "2", "-write_xing", "0"}},
        {"song.ogg", {"-c:a", "libvorbis", "-q:a", "5"}},
        {"song.wma", {"-c:a", "wmav2", "-b:a", "128k"}},
        {"song.wav", {"-c:a", "pcm_s16le"}},
    };
    QStringList sources;
    for (const auto &k : kinds) {
        const QString path = make(dir.path(), k.first, k.second);
        if (path.isEmpty()) {
            std::fprintf(stderr, "could not make %s\n", qPrintable(k.first));
            return 2;
        }
        sources << path;
    }
    // A thousand distinct files, so nothing is served from FileInfo's side of a cache.
    QStringList files;
    for (int i = 0; i < 1000; ++i) {
        const QString &src = sources.at(i % sources.size());
        const QString copy =
            dir.filePath(QStringLiteral("%1-%2").arg(i).arg(QFileInfo(src).fileName()));
        if (!QFile::link(src, copy))
            QFile::copy(src, copy);
        files << copy;
    }

    bool ok = true;
    QElapsedTimer t;
    t.start();
    qint64 totalMs = 0;
    FileInfo info;
    info.ReadOption = true;
    for (const QString &f : files) {
        info.Load(f);
        totalMs += info.GetDuration();
    }
    const double loadAll = t.elapsed();
    ok &= report("load 1,000 four-minute files (ms)", loadAll, 5000, "ms");
    if (totalMs < 1000LL * 235000) {
        std::printf("durations wrong: %lld ms in all\n", totalMs);
        ok = false;
    }

    for (int k = 0; k < sources.size(); ++k) {
        t.restart();
        for (int i = 0; i < 20; ++i)
            info.Load(sources.at(k));
        ok &= report(qPrintable(QStringLiteral("load %1 (ms each)").arg(kinds.at(k).first)),
                     t.elapsed() / 20.0, 50, "ms");
    }

    t.restart();
    for (int i = 0; i < 10; ++i) {
        info.TagVersion = 2;
        info.Load(sources.at(0));
        info.Title = QStringLiteral("Title %1").arg(i);
        info.SaveTag(sources.at(0));
    }
    ok &= report("save an ID3v2 tag in a 5.8 MB MP3 (ms each)", t.elapsed() / 10.0, 200, "ms");
    return ok ? 0 : 1;
}
