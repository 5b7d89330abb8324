#include "engine/audioplayer.h"

struct AudioPlayer::Device
{
};

AudioPlayer::AudioPlayer(QObject *parent)
    : QObject(parent)
{
}

AudioPlayer::~AudioPlayer() = default;

void AudioPlayer::SetFormat(int formatA, int formatB)
{
    m_rate = formatA;
    m_frameBytes = formatB;
}

int AudioPlayer::GetBlockSize(int hint) const
{
    return hint;
}
void AudioPlayer::Prepare() {}
int AudioPlayer::Start()
{
    return -1;
}
void AudioPlayer::QueueBlock(const QByteArray &) {}
qint64 AudioPlayer::GetPlayedCount() const
{
    return 0;
}
void AudioPlayer::StopOutput() {}
void AudioPlayer::Halt() {}
qint64 AudioPlayer::CountToMs(qint64 count) const
{
    return m_rate > 0 ? count * 1000 / m_rate : 0;
}
void AudioPlayer::closeDevice() {}
bool AudioPlayer::openDevice()
{
    return false;
}
void AudioPlayer::onTick() {}
void AudioPlayer::onBlockFinished(quint64) {}
void AudioPlayer::onDrained(quint64) {}
