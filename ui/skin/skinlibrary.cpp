#include "ui/skin/skinlibrary.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

namespace {
#if defined(Q_OS_WIN)
const QString LibraryFileName = QStringLiteral("twrLib.dll");
#elif defined(Q_OS_MACOS)
const QString LibraryFileName = QStringLiteral("libtwrLib.dylib");
#else
const QString LibraryFileName = QStringLiteral("libtwrLib.so");
#endif
} // namespace

SkinLibrary::SkinLibrary(QStringList folders)
    : m_folders(std::move(folders))
{
}

SkinLibrary::~SkinLibrary() = default;

QStringList SkinLibrary::defaultFolders()
{
    return {QDir(Paths::programDir()).absolutePath(), Paths::privateLibraryDir()};
}

bool SkinLibrary::load()
{
    if (m_loadSkin)
        return true;
    m_error = QStringLiteral("%1 not found in %2").arg(LibraryFileName, m_folders.join(u", "));
    for (const QString &folder : std::as_const(m_folders)) {
        // Only a library in one of our own folders is taken, never one from the search path.
        const QString candidate = QDir(folder).absoluteFilePath(LibraryFileName);
        if (folder.isEmpty() || !QFileInfo(candidate).isFile())
            continue;
        auto library = std::make_unique<QLibrary>(candidate);
        if (!library->load()) {
            m_error = library->errorString();
            continue;
        }
        auto function = reinterpret_cast<LoadSkinFunction>(library->resolve("LoadSkin"));
        if (!function) {
            m_error = library->errorString();
            library->unload();
            continue;
        }
        m_library = std::move(library);
        m_loadSkin = function;
        m_error.clear();
        return true;
    }
    return false;
}

QString SkinLibrary::fileName() const
{
    return m_library ? m_library->fileName() : QString();
}

int SkinLibrary::LoadSkin(const QString &path, const QString &name)
{
    if (!load()) {
        qWarning("Starting without a skin: %s", qPrintable(m_error));
        return 0;
    }
    const QByteArray nativePath = QFile::encodeName(path);
    const QByteArray resourceName = name.toLatin1();
    const int result = m_loadSkin(nativePath.constData(), resourceName.constData());
    if (result == 0)
        qWarning("twrLib could not write the skin resource %s to %s", resourceName.constData(),
                 nativePath.constData());
    return result;
}
