#include "joblist/folderwalk.h"

#include "engine/sourcekinds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

namespace {

struct DirCloser
{
    void operator()(DIR *dir) const { closedir(dir); }
};

} // namespace

FolderWalk::FolderWalk(const std::atomic<bool> *stop)
    : m_stop(stop)
{
}

bool FolderWalk::stopped() const
{
    return m_stop && m_stop->load(std::memory_order_relaxed);
}

bool FolderWalk::walk(const QString &folder, const std::function<void(const QString &)> &found)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    walkFolder(QFile::encodeName(QDir::cleanPath(info.absoluteFilePath())), found);
    return true;
}

void FolderWalk::walkFolder(const QByteArray &folder,
                            const std::function<void(const QString &)> &found)
{
    if (stopped())
        return;
    struct stat self
    {
    };
    if (stat(folder.constData(), &self) != 0) {
        m_unreadable << QFile::decodeName(folder);
        return;
    }
    if (!m_walked.insert({self.st_dev, self.st_ino}).second)
        return;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.constData()));
    if (!dir) {
        m_unreadable << QFile::decodeName(folder);
        return;
    }
    std::vector<QByteArray> names;
    while (const dirent *entry = readdir(dir.get())) {
        if (entry->d_name[0] != '.') // hidden, and "." and ".."
            names.emplace_back(entry->d_name);
    }
    std::sort(names.begin(), names.end());
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    for (const QByteArray &name : names) {
        if (stopped())
            return;
        const QByteArray path = prefix + name;
        struct stat entry
        {
        };
        if (stat(path.constData(), &entry) != 0)
            continue; // a dangling link
        if (S_ISDIR(entry.st_mode)) {
            walkFolder(path, found);
        } else if (S_ISREG(entry.st_mode)) {
            const QString file = QFile::decodeName(path);
            if (SourceKinds::isConvertible(file))
                found(file);
        }
    }
}
