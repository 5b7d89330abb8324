// Playback through SDL's disk driver: what reaches the device is compared with the source.
#include "player/audioplayer.h"
#include "tests/support/fixture.h"
#include "tests/support/testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstring>

namespace {

constexpr int Rate = 44100;
constexpr int Channels = 2;
constexpr int FrameBytes = Channels * 4;

// Feeds blocks the way the playback does: two at the start, one on every request, and
// records each event with the thread it arrived on.
class Feeder : public QObject
{
public:
    Feeder(AudioPlayer &player, const QByteArray &pcm)
        : m_player(player)
        , m_pcm(pcm)
    {
        for (auto signal : {&AudioPlayer::EndArrayPlay, &AudioPlayer::RequestOnLoadArray}) {
            connect(&player, signal, this, [this] {
                record("more");
                feed();
            });
        }
        connect(&player, &AudioPlayer::EndPlay, this, [this] {
            record("EndPlay");
            playedAtEnd = m_player.GetPlayedCount();
            finished = true;
        });
        connect(&player, &AudioPlayer::Timer, this, [this](qint64 count, int left, int right) {
            record("Timer");
            timerCounts << count;
            levels << qMax(left, right);
            badLevel |= left < 0 || left > 100 || right < 0 || right > 100;
        });
    }

    void start()
    {
        m_player.SetFormat(Rate, FrameBytes);
        blockSize = m_player.GetBlockSize(4000);
        m_player.Prepare();
        QCOMPARE(m_player.Start(), 0);
        feed();
        feed();
    }

    void feed()
    {
        const QByteArray block = m_pcm.mid(position, blockSize);
        position += block.size();
        if (!block.isEmpty())
            m_player.QueueBlock(block);
    }

    void record(const char *event)
    {
        events << QString::fromLatin1(event);
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            offThread = true;
    }

    AudioPlayer &m_player;
    QByteArray m_pcm;
    qsizetype position = 0;
    int blockSize = 0;
    bool finished = false, offThread = false, badLevel = false;
    qint64 playedAtEnd = -1;
    QStringList events;
    QList<qint64> timerCounts;
    QList<int> levels;
};

// The device output without the silence played while nothing was queued.
QByteArray withoutEdges(const QByteArray &pcm)
{
    const auto *f = reinterpret_cast<const float *>(pcm.constData());
    qsizetype n = pcm.size() / 4;
    qsizetype first = 0;
    while (first < n && f[first] == 0.0f)
        ++first;
    while (n > first && f[n - 1] == 0.0f)
        --n;
    return pcm.mid(first * 4, (n - first) * 4);
}

} // namespace

class tst_AudioPlayer : public QObject
{
    Q_OBJECT

private:
    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QByteArray m_noise; // distinct everywhere, so positions can be found in the output
    int m_run = 0;

    QByteArray output()
    {
        return TestEnv::readFile(m_dir.filePath(QStringLiteral("out%1.raw").arg(m_run)));
    }

private slots:
    void initTestCase()
    {
        const QString raw =
            Fixture::make(m_dir.path(), "noise.raw",
                          {"-f", "lavfi", "-i", "anoisesrc=d=1.6:a=0.5:seed=3", "-ar",
                           QString::number(Rate), "-ac", QString::number(Channels), "-f", "f32le"});
        m_noise = TestEnv::readFile(raw);
        QVERIFY(m_noise.size() > Rate * FrameBytes);
        // Keep the first and last samples away from zero so the edges are unambiguous.
        float edge = 0.25f;
        std::memcpy(m_noise.data(), &edge, 4);
        std::memcpy(m_noise.data() + m_noise.size() - 4, &edge, 4);
    }

    void init()
    {
        qputenv("SDL_AUDIODRIVER", "disk");
        // The disk "device" runs at half speed: a busy machine gets twice the slack to feed it,
        // and the output is the same.
        qputenv("SDL_DISKAUDIODELAY", "46");
        qputenv("SDL_DISKAUDIOFILE",
                QFile::encodeName(m_dir.filePath(QStringLiteral("out%1.raw").arg(++m_run))));
    }

    void playsEverythingWithoutGap()
    {
        AudioPlayer player;
        Feeder feeder(player, m_noise);
        qint64 soonAfterTheEnd = -1; // bytes written 100 ms after the end
        connect(&player, &AudioPlayer::EndPlay, this,
                [&] { QTimer::singleShot(100, this, [&] { soonAfterTheEnd = output().size(); }); });
        feeder.start();
        QTRY_VERIFY_WITH_TIMEOUT(soonAfterTheEnd >= 0, 60000);
        QVERIFY(!feeder.offThread);

        // The end comes once, last.
        QCOMPARE(feeder.events.count("EndPlay"), 1);
        QCOMPARE(feeder.events.filter(QRegularExpression("^(more|EndPlay)")).last(),
                 QString("EndPlay"));
        QCOMPARE(feeder.playedAtEnd, qint64(m_noise.size() / FrameBytes));

        // The timer's counts only grow, within what was played.
        QVERIFY(!feeder.timerCounts.isEmpty());
        QVERIFY(std::is_sorted(feeder.timerCounts.begin(), feeder.timerCounts.end()));
        QVERIFY(feeder.timerCounts.last() <= feeder.playedAtEnd);
        QVERIFY(!feeder.badLevel);

        // The device is let go at the end, with the player still there: nothing more is
        // written, and after the source only the silence that fills the device's last
        // buffer (the player asks SDL for 1024 frames).
        QTest::qWait(400);
        const QByteArray written = output();
        QCOMPARE(written.size(), soonAfterTheEnd);
        const QByteArray played = withoutEdges(written);
        QCOMPARE(played.size(), m_noise.size());
        QVERIFY(played == m_noise);
        const qsizetype after = written.size() - written.indexOf(played) - played.size();
        QVERIFY2(after < 1024 * FrameBytes, qPrintable(QString::number(after)));
    }

    // What a pause relies on; that the output resumes without a gap is checked with the playback.
    void stopOutputDropsQueuedBlocks()
    {
        AudioPlayer player;
        Feeder feeder(player, m_noise);
        feeder.start();
        feeder.feed(); // three blocks queued
        QTest::qWait(100);
        player.StopOutput();
        const qint64 playedAtStop = player.GetPlayedCount();
        QVERIFY(playedAtStop < 3 * qint64(Rate) / 2);
        feeder.events.clear();
        QTest::qWait(600); // longer than a block: a block still playing would report
        QVERIFY2(feeder.events.isEmpty(), qPrintable(feeder.events.join(',')));
        QCOMPARE(player.GetPlayedCount(), playedAtStop);

        // Continuing after a Prepare plays what is queued next, from a count of zero.
        player.Prepare();
        feeder.position = m_noise.size() - feeder.blockSize;
        feeder.feed();
        QTRY_VERIFY_WITH_TIMEOUT(feeder.finished, 60000);
        QCOMPARE(feeder.playedAtEnd, qint64(feeder.blockSize / FrameBytes));
    }

    // Peak amplitude → level: full scale, -20 dBFS, silence.
    void levelsFollowTheDbScale()
    {
        for (const auto &[amplitude, level] :
             QList<std::pair<double, int>>{{1.0, 100}, {0.1, 80}, {0.0, 0}}) {
            // A square wave: every block's peak is the amplitude.
            QByteArray pcm(Rate * FrameBytes / 2, Qt::Uninitialized);
            auto *f = reinterpret_cast<float *>(pcm.data());
            for (int i = 0; i < pcm.size() / 4; ++i)
                f[i] = float(((i / Channels / 50) % 2 ? 1 : -1) * amplitude);
            AudioPlayer player;
            Feeder feeder(player, pcm);
            feeder.start();
            QTRY_VERIFY_WITH_TIMEOUT(feeder.finished, 60000);
            QVERIFY(!feeder.levels.isEmpty());
            const int loudest = *std::max_element(feeder.levels.begin(), feeder.levels.end());
            QVERIFY2(qAbs(loudest - level) <= 1,
                     qPrintable(QString("amplitude %1: %2").arg(amplitude).arg(loudest)));
        }
    }

    // No device, or a format no device takes: Start fails with a reason, and the player stays
    // harmless. (The reason reaching the user is checked with the playback.)
    void startFailsWithoutDevice()
    {
        const QList<std::pair<const char *, int>> cases{{"no-such-driver", FrameBytes},
                                                        {"disk", 6}};
        for (const auto &[driver, frameBytes] : cases) {
            qputenv("SDL_AUDIODRIVER", driver);
            AudioPlayer player;
            player.SetFormat(Rate, frameBytes);
            player.Prepare();
            QVERIFY2(player.Start() < 0, driver);
            QVERIFY2(!player.lastError().isEmpty(), driver);
            player.QueueBlock(m_noise.left(4096));
            player.StopOutput();
            QCOMPARE(player.GetPlayedCount(), 0);
        }
        // Blocks hold whole frames, also of an odd size; two cover well over half a second.
        AudioPlayer player;
        player.SetFormat(48000, 24);
        const int n = player.GetBlockSize(4000);
        QCOMPARE(n % 24, 0);
        QVERIFY(n / 24 >= 48000 * 4 / 10);
    }
};

QTEST_GUILESS_MAIN(tst_AudioPlayer)
#include "tst_audioplayer.moc"
