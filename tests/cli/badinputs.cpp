#include "tests/cli/badinputs.h"

#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace {

QByteArray noise(int size, unsigned seed)
{
    QByteArray b(size, '\0');
    for (char &c : b) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 16);
    }
    return b;
}

} // namespace

QStringList BadInputs::make(const QString &dir)
{
    struct Base
    {
        const char *name;
        QStringList args;
    };
    const QList<Base> bases{
        {"s16.wav", {"-c:a", "pcm_s16le"}},
        {"f32.wav", {"-c:a", "pcm_f32le"}},
        {"cbr.mp3", {"-c:a", "libmp3lame", "-b:a", "96k"}},
        {"vbr.ogg", {"-c:a", "libvorbis"}},
        {"v2.wma", {"-c:a", "wmav2"}},
        {"lossless.flac", {"-c:a", "flac"}},
        {"aac.m4a", {"-c:a", "aac"}},
    };
    QStringList out;
    if (!QDir().mkpath(dir))
        return {};
    for (const Base &base : bases) {
        const QString whole =
            Fixture::tone(dir, QStringLiteral("whole-") + base.name, 2, base.args);
        if (whole.isEmpty())
            return {};
        const QByteArray bytes = TestEnv::readFile(whole);
        QFile::remove(whole);
        auto add = [&](const QString &variant, const QByteArray &content) {
            const QString path = QDir(dir).filePath(variant + QLatin1Char('-') + base.name);
            TestEnv::writeFile(path, content);
            out << path;
        };
        for (const int percent : {1, 5, 10, 25, 50, 75, 90, 99})
            add(QStringLiteral("cut%1").arg(percent), bytes.left(bytes.size() * percent / 100));
        QByteArray zeroed = bytes;
        zeroed.replace(zeroed.size() / 2, 300, QByteArray(300, '\0'));
        add(QStringLiteral("zeroed"), zeroed);
        QByteArray scrambled = bytes;
        scrambled.replace(scrambled.size() / 3, 2000, noise(2000, 7));
        add(QStringLiteral("scrambled"), scrambled);
        add(QStringLiteral("header"), bytes.left(64));
        QByteArray flipped = bytes;
        for (qsizetype i = 8; i < flipped.size(); i += 97)
            flipped[i] = char(flipped[i] ^ 0x5a);
        add(QStringLiteral("flipped"), flipped);
    }
    for (const char *name : {"empty-a.mp3", "empty-b.wav", "empty-c.ogg", "empty-d.wma"}) {
        TestEnv::writeFile(QDir(dir).filePath(name), {});
        out << QDir(dir).filePath(name);
    }
    for (const char *name :
         {"noise-a.mp3", "noise-b.wav", "noise-c.ogg", "noise-d.wma", "noise-e.flac"}) {
        TestEnv::writeFile(QDir(dir).filePath(name),
                           noise(5000, unsigned(qHash(QByteArray(name)))));
        out << QDir(dir).filePath(name);
    }
    TestEnv::writeFile(QDir(dir).filePath("text.mp3"), "not audio at all\n");
    out << QDir(dir).filePath("text.mp3");
    const QStringList specials{"0/0", "1/0", "-1/0", "100", "-100", "1e38"};
    for (int i = 0; i < specials.size(); ++i) {
        const QString f = Fixture::make(
            dir, QStringLiteral("special%1.wav").arg(i),
            {"-f", "lavfi", "-i",
             QStringLiteral("aevalsrc=exprs='if(lt(mod(t,0.2),0.1),%1,0.5*sin(2*PI*440*t))':d=1")
                 .arg(specials.at(i)),
             "-c:a", "pcm_f32le"});
        if (f.isEmpty())
            return {};
        out << f;
    }
    return out;
}
