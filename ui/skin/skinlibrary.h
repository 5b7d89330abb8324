#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QLibrary;

// The skin resource library (libtwrLib) as the program uses it: found beside the
// executable or in the library folder, loaded at run time, its LoadSkin export called.
// When the library is missing the program simply starts unskinned.
class SkinLibrary
{
public:
    // The resource name the program asks for.
    static inline const QString SkinResourceName = QStringLiteral("Media.skn");

    // Searches `folders` in order; by default defaultFolders().
    explicit SkinLibrary(QStringList folders = defaultFolders());
    ~SkinLibrary();
    SkinLibrary(const SkinLibrary &) = delete;
    SkinLibrary &operator=(const SkinLibrary &) = delete;

    // The program's folder (the build tree), then the installed private library folder.
    static QStringList defaultFolders();

    // Loads the library and resolves LoadSkin; false when it is missing or unusable.
    bool load();
    bool isLoaded() const { return m_loadSkin != nullptr; }
    // The library file in use ("" before a successful load).
    QString fileName() const;
    // Why the last load failed.
    QString errorString() const { return m_error; }

    // Calls LoadSkin(path, name), loading the library first when needed. Returns its
    // result (1: the file holds the resource), or 0 when the library cannot be loaded.
    int LoadSkin(const QString &path, const QString &name = SkinResourceName);

private:
    using LoadSkinFunction = int (*)(const char *, const char *);

    QStringList m_folders;
    std::unique_ptr<QLibrary> m_library;
    LoadSkinFunction m_loadSkin = nullptr;
    QString m_error;
};
