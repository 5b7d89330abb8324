// Playback through SDL's disk driver: what reaches the device is compared with the source.
#include "player/audioplayer.h"
#include "tests/support/audiofixtures.h"
#include "tests/support/fixture.h"

#include "tests/support/testenv.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
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
            connect(&player, signal, this, [this, signal] {
                record(signal == &AudioPlayer::EndArrayPlay ? "EndArrayPlay"
                                                            : "RequestOnLoadArray");
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
            if (onTimer)
                onTimer(count);
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

    bool waitUntilFinished()
    {
        QElapsedTimer t;
        t.start();
        while (!finished && t.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return finished;
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
    bool finished = false;
    bool offThread = false;
    bool badLevel = false;
    qint64 playedAtEnd = -1;
    QStringList events;
    QList<qint64> timerCounts;
    QList<int> levels;
    std::function<void(qint64)> onTimer;
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

private slots:
    void initTestCase();
    void init();
    void playsEverythingWithoutGap();
    void seekThenPlayStartsAtTarget();
    void stopOutputDropsQueuedBlocks();
    void levelsFollowTheDbScale_data();
    void levelsFollowTheDbScale();
    void startFailsWithoutDevice();
    void blockSizeAndTime();

private:
    QByteArray output();

    TestConfigDir m_config;
    QTemporaryDir m_dir;
    QByteArray m_noise; // distinct everywhere, so positions can be found in the output
    int m_run = 0;
};

void tst_AudioPlayer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString src = Fixture::make(m_dir.path(), "noise.wav",
                                      {"-f", "lavfi", "-i", "anoisesrc=d=1.6:a=0.5:seed=3", "-ar",
                                       QString::number(Rate), "-ac", QString::number(Channels),
                                       "-c:a", "pcm_f32le"});
    QVERIFY(!src.isEmpty());
    m_noise = AudioFixtures::decode(src);
    QVERIFY(m_noise.size() > Rate * FrameBytes);
    // Keep the first and last samples away from zero so the edges are unambiguous.
    float edge = 0.25f;
    std::memcpy(m_noise.data(), &edge, 4);
    std::memcpy(m_noise.data() + m_noise.size() - 4, &edge, 4);
}

void tst_AudioPlayer::init()
{
    qputenv("SDL_AUDIODRIVER", "disk");
    // The disk "device" runs at half speed: a busy machine gets twice the slack to feed it,
    // and the output is the same.
    qputenv("SDL_DISKAUDIODELAY", "46");
    qputenv("SDL_DISKAUDIOFILE",
            QFile::encodeName(m_dir.filePath(QStringLiteral("out%1.raw").arg(++m_run))));
}

QByteArray tst_AudioPlayer::output()
{
    return Fixture::readAll(m_dir.filePath(QStringLiteral("out%1.raw").arg(m_run)));
}

void tst_AudioPlayer::playsEverythingWithoutGap()
{
    {
        AudioPlayer player;
        Feeder feeder(player, m_noise);
        feeder.start();
        QVERIFY(feeder.waitUntilFinished());
        QVERIFY(!feeder.offThread);

        // Every block reported once, then one request, then the end; the end is last.
        const int blocks = int((m_noise.size() + feeder.blockSize - 1) / feeder.blockSize);
        QCOMPARE(feeder.events.count("EndArrayPlay"), blocks);
        QCOMPARE(feeder.events.count("RequestOnLoadArray"), 1);
        QCOMPARE(feeder.events.count("EndPlay"), 1);
        const QStringList order = feeder.events.filter(QRegularExpression("^(End|Req)"));
        QCOMPARE(order.last(), QString("EndPlay"));
        QCOMPARE(order.at(order.size() - 2), QString("RequestOnLoadArray"));
        QCOMPARE(feeder.playedAtEnd, qint64(m_noise.size() / FrameBytes));

        // The timer's counts only grow, within what was played.
        QVERIFY(!feeder.timerCounts.isEmpty());
        QVERIFY(std::is_sorted(feeder.timerCounts.begin(), feeder.timerCounts.end()));
        QVERIFY(feeder.timerCounts.last() <= feeder.playedAtEnd);
        QVERIFY(!feeder.badLevel);
    }
    const QByteArray played = withoutEdges(output());
    QCOMPARE(played.size(), m_noise.size());
    QVERIFY(played == m_noise);
}

void tst_AudioPlayer::seekThenPlayStartsAtTarget()
{
    const qsizetype target = qsizetype(Rate) * FrameBytes; // one second in
    bool sought = false;
    {
        AudioPlayer player;
        Feeder feeder(player, m_noise);
        // On the first tick that shows sound played: stop, jump, feed two blocks.
        feeder.onTimer = [&](qint64 count) {
            if (sought || count == 0)
                return;
            sought = true;
            player.Halt();
            QCOMPARE(player.GetPlayedCount(), 0);
            feeder.position = target;
            feeder.feed();
            feeder.feed();
        };
        feeder.start();
        QVERIFY(feeder.waitUntilFinished());
        QVERIFY(sought);
        QCOMPARE(feeder.playedAtEnd, qint64((m_noise.size() - target) / FrameBytes));
    }
    // What was played before the jump is a prefix of the source; after it (and any silence
    // while the output waited) comes the source from the target to its end.
    const QByteArray played = withoutEdges(output());
    const QByteArray tail = m_noise.mid(target);
    QVERIFY(played.endsWith(tail));
    const QByteArray before = played.left(played.size() - tail.size());
    const QByteArray head = withoutEdges(before);
    QVERIFY(!head.isEmpty());
    QVERIFY(m_noise.startsWith(head));
    QVERIFY(head.size() < target);
}

void tst_AudioPlayer::stopOutputDropsQueuedBlocks()
{
    qint64 playedAtStop = 0;
    int blockSize = 0;
    QStringList eventsAfterStop;
    {
        AudioPlayer player;
        Feeder feeder(player, m_noise);
        feeder.start();
        blockSize = feeder.blockSize;
        feeder.feed(); // three blocks queued
        QTest::qWait(100);
        player.StopOutput();
        playedAtStop = player.GetPlayedCount();
        feeder.events.clear();
        QTest::qWait(600); // longer than a block: a block still playing would report
        eventsAfterStop = feeder.events;
        QCOMPARE(player.GetPlayedCount(), playedAtStop);

        // Continuing after a Prepare plays what is queued next, from a count of zero.
        player.Prepare();
        feeder.position = m_noise.size() - feeder.blockSize;
        feeder.feed();
        QVERIFY(feeder.waitUntilFinished());
        QCOMPARE(feeder.playedAtEnd, qint64(feeder.blockSize / FrameBytes));
    }
    QVERIFY2(eventsAfterStop.isEmpty(), qPrintable(eventsAfterStop.join(',')));
    QVERIFY(playedAtStop < 3 * qint64(Rate) / 2);
    // The output holds what played before the stop, then (after silence) the last block only.
    const QByteArray played = withoutEdges(output());
    const QByteArray last = m_noise.right(blockSize);
    QVERIFY(played.endsWith(last));
    const QByteArray head = withoutEdges(played.left(played.size() - last.size()));
    QVERIFY(m_noise.startsWith(head));
    QVERIFY(head.size() <= playedAtStop * FrameBytes);
}

void tst_AudioPlayer::levelsFollowTheDbScale_data()
{
    QTest::addColumn<double>("amplitude");
    QTest::addColumn<int>("level");
    QTest::newRow("full scale") << 1.0 << 100;
    QTest::newRow("-20 dBFS") << 0.1 << 80;
    QTest::newRow("silence") << 0.0 << 0;
}

void tst_AudioPlayer::levelsFollowTheDbScale()
{
    QFETCH(double, amplitude);
    QFETCH(int, level);
    // A square wave: every block's peak is the amplitude.
    QByteArray pcm(Rate * FrameBytes / 2, Qt::Uninitialized);
    auto *f = reinterpret_cast<float *>(pcm.data());
    for (int i = 0; i < pcm.size() / 4; ++i)
        f[i] = float(((i / Channels / 50) % 2 ? 1 : -1) * amplitude);
    AudioPlayer player;
    Feeder feeder(player, pcm);
    feeder.start();
    QVERIFY(feeder.waitUntilFinished());
    QVERIFY(!feeder.levels.isEmpty());
    const int loudest = *std::max_element(feeder.levels.begin(), feeder.levels.end());
    QVERIFY2(qAbs(loudest - level) <= 1, qPrintable(QString::number(loudest)));
}

void tst_AudioPlayer::startFailsWithoutDevice()
{
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    AudioPlayer player;
    player.SetFormat(Rate, FrameBytes);
    player.Prepare();
    QVERIFY(player.Start() < 0);
    QSignalSpy end(&player, &AudioPlayer::EndPlay);
    player.QueueBlock(m_noise.left(4096)); // harmless
    player.StopOutput();
    QCOMPARE(player.GetPlayedCount(), 0);

    // A format no device takes fails the same way.
    qputenv("SDL_AUDIODRIVER", "disk");
    AudioPlayer odd;
    odd.SetFormat(Rate, 6);
    odd.Prepare();
    QVERIFY(odd.Start() < 0);
}

void tst_AudioPlayer::blockSizeAndTime()
{
    AudioPlayer player;
    player.SetFormat(48000, 24);
    const int n = player.GetBlockSize(4000);
    QCOMPARE(n % 24, 0);
    QVERIFY(n / 24 >= 48000 * 4 / 10); // two blocks cover well over half a second
    QCOMPARE(player.CountToMs(24), 1); // rounded
    // Ten hours of frames at 48 kHz, beyond 32 bits of milliseconds * rate.
    QCOMPARE(player.CountToMs(qint64(48000) * 36000), qint64(36000000));
}

QTEST_GUILESS_MAIN(tst_AudioPlayer)
#include "tst_audioplayer.moc"
