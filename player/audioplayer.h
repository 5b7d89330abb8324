#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

// Sound output on SDL2. The caller decodes blocks (32-bit float interleaved PCM) and queues
// them; the player plays them back to back and asks for more through its signals. The signals
// are always emitted on the thread that owns the player (the UI thread), never on SDL's audio
// thread.
//
// Typical use: SetFormat(A, B); n = GetBlockSize(4000); Prepare(); Start(); queue two blocks;
// queue one more on every EndArrayPlay / RequestOnLoadArray; stop on EndPlay. CloseOutput when
// stopped before the end.
class AudioPlayer : public QObject
{
    Q_OBJECT
public:
    explicit AudioPlayer(QObject *parent = nullptr);
    ~AudioPlayer() override;

    // Format of the blocks that follow: A = sample rate in Hz, B = bytes per frame
    // (channels x 4, 32-bit float). A change closes an open output; Prepare reopens it.
    void SetFormat(int formatA, int formatB);
    // The block size in bytes to decode per QueueBlock: at least `hint` bytes, whole frames,
    // and long enough (about half a second) that two queued blocks cover the UI thread's
    // latency.
    int GetBlockSize(int hint) const;
    // Makes the output ready for blocks: opens it if needed, drops anything queued and
    // restarts the played count. After StopOutput it also resumes the output (continue).
    void Prepare();
    // Starts the output: 0 on success, negative when no output device can be opened.
    int Start();
    // Why the output could not be opened, in SDL's words ("" while nothing failed).
    QString lastError() const { return m_lastError; }
    // Appends a block; it plays after those already queued.
    void QueueBlock(const QByteArray &block);
    // Frames played since the last Prepare (or Halt).
    qint64 GetPlayedCount() const;
    // Stops the sound and drops the queued blocks (pause or stop). Events of dropped blocks
    // are not delivered.
    void StopOutput();
    // Stops the sound, drops the queued blocks and lets the device go: an open device plays
    // silence for as long as it stays open. The next Prepare opens it again.
    void CloseOutput();
    // Stops the sound before a seek: drops the queued blocks and restarts the played count;
    // the output resumes with the next queued block, without a new Prepare.
    void Halt();
    // Play time of a frame count in milliseconds.
    qint64 CountToMs(qint64 count) const;

    // Frames per second and bytes per frame of the current format.
    int formatA() const { return m_rate; }
    int formatB() const { return m_frameBytes; }
    // Interval of the Timer signal while playing.
    static constexpr int TimerIntervalMs = 50;

signals:
    // A queued block has finished playing.
    void EndArrayPlay();
    // The queue ran empty while playing: another block is wanted.
    void RequestOnLoadArray();
    // Nothing is left to play: the queue ran empty and no block came after the requests. The
    // device is closed by then.
    void EndPlay();
    // Periodic while playing: frames played since the last Prepare (or Halt), and the
    // left and right levels, 0..100 = 100 + dBFS of the peak since the previous tick.
    void Timer(qint64 playedCount, int leftLevel, int rightLevel);

private:
    struct Device;

    void closeDevice();
    bool openDevice();
    void resumeIfWaiting();
    void pauseDevice();
    void onTick();
    void onBlockFinished(quint64 generation);
    void onDrained(quint64 generation);
    void onDrainCheck(quint64 generation);

    std::unique_ptr<Device> m_device;
    QTimer m_timer;
    int m_rate = 44100;
    int m_frameBytes = 8;
    QString m_lastError;
    bool m_sdlReady = false;
    bool m_started = false;
};
