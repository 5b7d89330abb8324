#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

// An open-files dialog. `filter` is in the "Caption|*.a;*.b|Caption2|*.c" form; `selectedFilter`
// counts its caption/pattern pairs from 1.
struct OpenFilesRequest
{
    QString title;
    QString filter;
    int selectedFilter = 1;
    bool multiSelect = false;
    QString initialDir;
    QWidget *owner = nullptr;
};

struct SaveFileRequest
{
    QString title;
    QString filter; // same form as OpenFilesRequest::filter
    QString proposedName;
    QString initialDir;
    QWidget *owner = nullptr;
};

// Takes the files that a later start of the program hands to the running one.
class HandedFilesReceiver
{
public:
    virtual ~HandedFilesReceiver() = default;
    // Absolute paths, in the order they were given to the later start.
    virtual void filesHandedOver(const QStringList &files) = 0;
};

// Everything that leaves the process or waits for a person goes through here, so that tests
// can script the answers and record the calls.
class Platform
{
public:
    virtual ~Platform() = default;

    virtual MessageAnswer messageBox(const QString &text, const QString &caption,
                                     MessageButtons buttons, MessageIcon icon,
                                     QWidget *owner = nullptr) = 0;
    // Full paths of the picked files in the order the dialog lists them; empty when cancelled.
    virtual QStringList openFiles(const OpenFilesRequest &request) = 0;
    // The accepted path, exactly as accepted (no extension added); empty when cancelled.
    virtual QString saveFile(const SaveFileRequest &request) = 0;
    // The chosen folder, "" when it has no file-system path, or "You canceled operation".
    virtual QString browseForFolder(const QString &title, QWidget *owner) = 0;

    // Open a document or URL with the desktop's default handler.
    virtual bool openDocument(const QString &pathOrUrl) = 0;
    // Show a folder in the file manager.
    virtual bool openFolder(const QString &folder) = 0;
    virtual bool showFileProperties(const QString &path, QWidget *owner) = 0;
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
    // A plain (not forced) power-off request; false when it could not be sent.
    virtual bool requestShutdown() = 0;
    // True when another instance of the program runs with the same settings folder. Once this
    // answers false, this process holds the instance lock until it ends.
    virtual bool previousInstanceRunning() = 0;

    // --- Living on the desktop (a platform without a desktop keeps these defaults) -------
    // Gives `files` (absolute paths) to the instance that holds the instance lock; true once
    // it has taken them. Waits a few seconds for an instance that is still loading.
    virtual bool handFilesToRunningInstance(const QStringList &) { return false; }
    // From now on, files that later starts hand over reach `receiver`, on the UI thread.
    // Called once, by the instance that holds the lock, after its window is shown.
    virtual void receiveFilesFromLaterStarts(HandedFilesReceiver &) {}
    // A conversion run's overall progress on the program's taskbar entry: 0.0 to 1.0, or a
    // negative value to take it off. Nothing happens where the desktop has no such entry.
    virtual void setTaskbarProgress(double) {}
    // One desktop notification that a run has ended: how many files were converted and how
    // many failed. The caller decides whether it is due (see platform/runfeedback.h).
    virtual void notifyRunFinished(int, int) {}

    // The platform in use; the desktop one unless another was installed.
    static Platform &instance();
    static void install(std::unique_ptr<Platform> platform);
};

// The folder picker used by the options dialog and the main window.
inline QString BrowseForFolder(const QString &title, QWidget *owner)
{
    return Platform::instance().browseForFolder(title, owner);
}

// A failure the user should know of, in the program's message box with the warning icon.
inline void ShowWarning(const QString &text, QWidget *owner)
{
    Platform::instance().messageBox(text, QStringLiteral("Tonewright"), MessageButtons::Ok,
                                    MessageIcon::Warning, owner);
}

inline constexpr const char *CanceledFolderPick = "You canceled operation";
