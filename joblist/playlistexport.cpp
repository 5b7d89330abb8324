#include "joblist/playlistexport.h"

#include "joblist/joblistmodel.h"
#include "joblist/playlistfile.h"
#include "platform/platform.h"

void PlaylistExport::run(const JobListModel &jobs, QWidget *owner)
{
    Platform &platform = Platform::instance();
    if (jobs.count() == 0) {
        platform.messageBox(QString::fromLatin1(EmptyListMessage), QStringLiteral("Tonewright"),
                            MessageButtons::Ok, MessageIcon::Information, owner);
        return;
    }

    SaveFileRequest request;
    request.title = QString::fromLatin1(Title);
    request.filter = QString::fromLatin1(Filter);
    request.proposedName = QString::fromLatin1(ProposedName);
    request.owner = owner;
    const QString path = platform.saveFile(request);
    if (path.isEmpty())
        return;

    // A failed write leaves any earlier file of that name intact.
    QString why;
    if (!PlaylistFile::write(path, jobs.fullPaths(), &why)) {
        ShowWarning(QStringLiteral("The playlist could not be saved as %1: %2").arg(path, why),
                    owner);
        return;
    }
    platform.openDocument(path);
}
