#pragma once

#include "joblist/audioprobe.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

// Walks added folders and reads their files on a thread of its own, so that the window stays
// responsive on a large library: what it has read arrives in batches on the thread that owns
// the scan.
class FolderScan : public QObject
{
    Q_OBJECT
public:
    struct File
    {
        QString path;
        QString root; // the added folder the file lies below
        AudioFacts facts;
    };

    // `probe` reads the files on the scan's thread.
    explicit FolderScan(std::unique_ptr<AudioProbe> probe, QObject *parent = nullptr);
    // Stops a walk in progress and waits for its thread.
    ~FolderScan() override;

    // Walks `folder` (after the folders that wait already) for the files the program converts.
    void add(const QString &folder);
    // Ends the walk soon; the files read until then still arrive, then `finished`.
    void stop();
    bool isRunning() const { return m_running; }

signals:
    // Files read since the last batch, and how many files have been found so far.
    void batchRead(const QList<FolderScan::File> &files, int found);
    // The walk has ended (also when stopped): the folders that could not be read.
    void finished(const QStringList &unreadable);

private:
    void run();
    void join();

    std::unique_ptr<AudioProbe> m_probe;
    std::mutex m_mutex;
    std::deque<QString> m_waiting;
    std::atomic<bool> m_stop{false};
    bool m_running = false;   // owner's thread only
    QStringList m_unreadable; // owner's thread only
    std::thread m_thread;
};
