#include "player/audioplayer.h"

#include <SDL2/SDL.h>

#include <QMetaObject>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <mutex>

// State shared with SDL's audio thread; everything below `mutex` is guarded by it.
struct AudioPlayer::Device
{
    AudioPlayer *owner = nullptr;
    SDL_AudioDeviceID id = 0;
    int channels = 2;
    int frameBytes = 8;
    bool running = false; // unpaused; only touched on the owner's thread

    std::mutex mutex;
    std::deque<QByteArray> queue;
    qsizetype offset = 0;   // bytes of the front block already played
    qint64 playedBytes = 0; // since Prepare or Halt
    float peakLeft = 0;
    float peakRight = 0;
    quint64 generation = 0; // bumped whenever queued blocks are dropped
    bool playing = false;   // a block was played since the queue last ran dry
    bool stopped = false;   // StopOutput until the next Prepare

    static void callback(void *userdata, Uint8 *stream, int len);
    void measure(const Uint8 *data, qsizetype bytes);
    void dropQueue()
    {
        queue.clear();
        offset = 0;
        playing = false;
        ++generation;
    }
};

void AudioPlayer::Device::measure(const Uint8 *data, qsizetype bytes)
{
    const qsizetype samples = bytes / qsizetype(sizeof(float));
    const auto *s = reinterpret_cast<const float *>(data);
    for (qsizetype i = 0; i < samples; ++i) {
        const float v = std::fabs(s[i]);
        const int ch = int(i % channels);
        if (ch == 0)
            peakLeft = std::max(peakLeft, v);
        if (ch == (channels > 1 ? 1 : 0))
            peakRight = std::max(peakRight, v);
    }
}

void AudioPlayer::Device::callback(void *userdata, Uint8 *stream, int len)
{
    auto *d = static_cast<Device *>(userdata);
    std::lock_guard lock(d->mutex);
    int filled = 0;
    while (!d->stopped && filled < len && !d->queue.empty()) {
        const QByteArray &block = d->queue.front();
        const qsizetype n = std::min<qsizetype>(block.size() - d->offset, len - filled);
        std::memcpy(stream + filled, block.constData() + d->offset, size_t(n));
        // Levels are measured on whole samples; blocks are made of whole frames.
        d->measure(stream + filled, n);
        filled += int(n);
        d->offset += n;
        d->playedBytes += n;
        d->playing = true;
        if (d->offset >= block.size()) {
            d->queue.pop_front();
            d->offset = 0;
            const quint64 generation = d->generation;
            AudioPlayer *owner = d->owner;
            QMetaObject::invokeMethod(
                owner, [owner, generation] { owner->onBlockFinished(generation); },
                Qt::QueuedConnection);
        }
    }
    if (filled < len)
        std::memset(stream + filled, 0, size_t(len - filled));
    if (d->playing && d->queue.empty()) {
        d->playing = false;
        const quint64 generation = d->generation;
        AudioPlayer *owner = d->owner;
        QMetaObject::invokeMethod(
            owner, [owner, generation] { owner->onDrained(generation); }, Qt::QueuedConnection);
    }
}

AudioPlayer::AudioPlayer(QObject *parent)
    : QObject(parent)
    , m_device(std::make_unique<Device>())
{
    m_device->owner = this;
    // SDL would otherwise take over SIGINT and SIGTERM from the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    m_sdlReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!m_sdlReady)
        m_lastError = QString::fromUtf8(SDL_GetError());
    m_timer.setInterval(TimerIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &AudioPlayer::onTick);
}

AudioPlayer::~AudioPlayer()
{
    closeDevice();
    if (m_sdlReady)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioPlayer::SetFormat(int formatA, int formatB)
{
    if (formatA == m_rate && formatB == m_frameBytes)
        return;
    closeDevice();
    m_rate = formatA;
    m_frameBytes = formatB;
}

int AudioPlayer::GetBlockSize(int hint) const
{
    const int frameBytes = std::max(m_frameBytes, 1);
    const qint64 halfSecond = qint64(std::max(m_rate, 1)) / 2;
    const qint64 frames = std::max<qint64>(std::max(hint, 0) / frameBytes, halfSecond);
    return int(std::min<qint64>(frames * frameBytes, (1 << 30) / frameBytes * frameBytes));
}

bool AudioPlayer::openDevice()
{
    if (m_device->id != 0)
        return true;
    if (!m_sdlReady)
        return false;
    if (m_rate <= 0 || m_frameBytes <= 0 || m_frameBytes % 4 != 0) {
        m_lastError = QStringLiteral("%1 Hz with %2 bytes per frame is not a playable format")
                          .arg(m_rate)
                          .arg(m_frameBytes);
        return false;
    }
    SDL_AudioSpec want = {};
    want.freq = m_rate;
    want.format = AUDIO_F32SYS;
    want.channels = Uint8(std::min(m_frameBytes / 4, 255));
    want.samples = 1024;
    want.callback = &Device::callback;
    want.userdata = m_device.get();
    SDL_AudioSpec have = {};
    // No changes allowed: SDL converts to whatever the hardware takes.
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0) {
        m_lastError = QString::fromUtf8(SDL_GetError());
        return false;
    }
    m_lastError.clear();
    m_device->id = id;
    m_device->channels = want.channels;
    m_device->frameBytes = m_frameBytes;
    m_device->running = false;
    return true;
}

void AudioPlayer::closeDevice()
{
    m_timer.stop();
    if (m_device->id != 0) {
        SDL_CloseAudioDevice(m_device->id); // waits for a running callback
        m_device->id = 0;
    }
    m_device->running = false;
    std::lock_guard lock(m_device->mutex);
    m_device->dropQueue();
    m_started = false;
}

// Output stays paused while there is nothing to play, so no silence is put before the first
// block of a start, a continue or a seek.
void AudioPlayer::resumeIfWaiting()
{
    if (!m_started || m_device->id == 0 || m_device->running)
        return;
    {
        std::lock_guard lock(m_device->mutex);
        if (m_device->stopped || m_device->queue.empty())
            return;
    }
    m_device->running = true;
    SDL_PauseAudioDevice(m_device->id, 0);
    if (!m_timer.isActive())
        m_timer.start();
}

void AudioPlayer::pauseDevice()
{
    if (m_device->id != 0 && m_device->running) {
        SDL_PauseAudioDevice(m_device->id, 1);
        m_device->running = false;
    }
}

void AudioPlayer::Prepare()
{
    openDevice(); // a failure is reported by Start
    pauseDevice();
    std::lock_guard lock(m_device->mutex);
    m_device->dropQueue();
    m_device->playedBytes = 0;
    m_device->peakLeft = m_device->peakRight = 0;
    m_device->stopped = false;
}

int AudioPlayer::Start()
{
    if (!openDevice())
        return -1;
    m_started = true;
    {
        std::lock_guard lock(m_device->mutex);
        m_device->stopped = false;
    }
    resumeIfWaiting();
    return 0;
}

void AudioPlayer::QueueBlock(const QByteArray &block)
{
    if (block.isEmpty())
        return;
    {
        std::lock_guard lock(m_device->mutex);
        m_device->queue.push_back(block);
    }
    resumeIfWaiting();
}

qint64 AudioPlayer::GetPlayedCount() const
{
    std::lock_guard lock(m_device->mutex);
    return m_frameBytes > 0 ? m_device->playedBytes / m_frameBytes : 0;
}

void AudioPlayer::StopOutput()
{
    m_timer.stop();
    pauseDevice();
    std::lock_guard lock(m_device->mutex);
    m_device->dropQueue();
    m_device->stopped = true;
}

void AudioPlayer::CloseOutput()
{
    closeDevice();
}

void AudioPlayer::Halt()
{
    pauseDevice();
    std::lock_guard lock(m_device->mutex);
    m_device->dropQueue();
    // The caller restarts its count from the position it seeks to.
    m_device->playedBytes = 0;
    m_device->peakLeft = m_device->peakRight = 0;
}

qint64 AudioPlayer::CountToMs(qint64 count) const
{
    if (m_rate <= 0)
        return 0;
    return qint64(double(count) * 1000.0 / double(m_rate) + 0.5);
}

namespace {
int levelOf(float peak)
{
    if (!(peak > 0))
        return 0;
    const double level = 100.0 + 20.0 * std::log10(double(peak));
    return int(std::clamp(std::lround(level), 0L, 100L));
}
} // namespace

void AudioPlayer::onTick()
{
    qint64 played = 0;
    float left = 0;
    float right = 0;
    {
        std::lock_guard lock(m_device->mutex);
        played = m_frameBytes > 0 ? m_device->playedBytes / m_frameBytes : 0;
        left = m_device->peakLeft;
        right = m_device->peakRight;
        m_device->peakLeft = m_device->peakRight = 0;
    }
    emit Timer(played, levelOf(left), levelOf(right));
}

void AudioPlayer::onBlockFinished(quint64 generation)
{
    {
        std::lock_guard lock(m_device->mutex);
        if (generation != m_device->generation)
            return;
    }
    emit EndArrayPlay();
}

void AudioPlayer::onDrained(quint64 generation)
{
    {
        std::lock_guard lock(m_device->mutex);
        if (generation != m_device->generation)
            return;
    }
    emit RequestOnLoadArray();
    // Decided after the handlers of everything posted so far had their chance to queue more.
    QMetaObject::invokeMethod(
        this, [this, generation] { onDrainCheck(generation); }, Qt::QueuedConnection);
}

void AudioPlayer::onDrainCheck(quint64 generation)
{
    {
        std::lock_guard lock(m_device->mutex);
        if (generation != m_device->generation || !m_device->queue.empty() || m_device->playing)
            return;
    }
    // Nothing came: the device is let go, as a paused one would go on playing silence.
    closeDevice();
    emit EndPlay();
}
