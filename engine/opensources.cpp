#include "engine/opensources.h"

#include <QFile>
#include <QList>

#include <filesystem>
#include <mutex>

namespace {

std::mutex mutex;
QList<QString> paths;

std::filesystem::path native(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace

void OpenSources::add(const QString &path)
{
    std::lock_guard lock(mutex);
    paths.append(path);
}

void OpenSources::remove(const QString &path)
{
    std::lock_guard lock(mutex);
    paths.removeOne(path);
}

bool OpenSources::contains(const QString &path)
{
    std::lock_guard lock(mutex);
    for (const QString &open : paths) {
        std::error_code error;
        // Compares the files themselves: links, "..", and case on file systems that
        // ignore it all resolve to the same answer.
        if (std::filesystem::equivalent(native(open), native(path), error) && !error)
            return true;
    }
    return false;
}
