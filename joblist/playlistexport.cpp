#include "joblist/playlistexport.h"

#include "joblist/joblistmodel.h"
#include "joblist/playlistfile.h"
#include "platform/platform.h"

#include <QFileInfo>

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
    QString path = platform.saveFile(request);
    if (path.isEmpty())
        return;
    // A name without an extension would be hidden by the open dialog's playlist filter.
    if (QFileInfo(path).suffix().isEmpty())
        path += QString::fromLatin1(Extension);

    // A failed write leaves any earlier file of that name intact.
    QString why;
    if (!PlaylistFile::write(path, jobs.fullPaths(), &why)) {
        ShowWarning(QStringLiteral("The playlist could not be saved as %1: %2").arg(path, why),
                    owner);
        return;
    }
    platform.openDocument(path);
}
