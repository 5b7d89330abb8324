#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <set>
#include <utility>

// Finds the files the program converts under a folder, at any depth. Hidden files and
// folders are passed over; a folder reached a second time (through a link) is walked once.
// One walk may take several folders; a folder already walked is not walked again.
class FolderWalk
{
public:
    // `stop` is read between entries: set it from another thread to end the walk early.
    explicit FolderWalk(const std::atomic<bool> *stop = nullptr);

    // Calls `found` with the absolute path of each convertible file, folder by folder in name
    // order. False when `folder` is no folder.
    bool walk(const QString &folder, const std::function<void(const QString &)> &found);
    // The folders that could not be read, each once, in the order they were met.
    const QStringList &unreadable() const { return m_unreadable; }
    bool stopped() const;

private:
    void walkFolder(const QByteArray &folder, const std::function<void(const QString &)> &found);

    const std::atomic<bool> *m_stop;
    std::set<std::pair<unsigned long long, unsigned long long>> m_walked; // device, inode
    QStringList m_unreadable;
};
