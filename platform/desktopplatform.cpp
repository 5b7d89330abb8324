#include "platform/desktopplatform.h"

#include "platform/desktopbus.h"
#include "platform/filepropertiesdialog.h"
#include "platform/instancechannel.h"
#include "platform/paths.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

namespace {

QMessageBox::StandardButtons standardButtons(MessageButtons b)
{
    switch (b) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(MessageIcon i)
{
    switch (i) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Retry:
        return MessageAnswer::Retry;
    default:
        return MessageAnswer::Cancel;
    }
}

} // namespace

DesktopPlatform::DesktopPlatform()
    : m_instance(Paths::configDir())
{
}

DesktopPlatform::~DesktopPlatform() = default;

QStringList DesktopPlatform::qtFilters(const QString &filter)
{
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString caption = parts[i];
        caption.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)\\s*$")));
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            for (const QString &v : {p.toLower(), p.toUpper()})
                if (!patterns.contains(v))
                    patterns << v;
        }
        out << QStringLiteral("%1 (%2)").arg(caption.trimmed(), patterns.join(u' '));
    }
    return out;
}

MessageAnswer DesktopPlatform::messageBox(const QString &text, const QString &caption,
                                          MessageButtons buttons, MessageIcon icon, QWidget *owner)
{
    QMessageBox box(boxIcon(icon), caption, text, standardButtons(buttons), owner);
    return answerOf(box.exec());
}

QStringList DesktopPlatform::openFiles(const OpenFilesRequest &request)
{
    QFileDialog dialog(request.owner, request.title, request.initialDir);
    const QStringList filters = qtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.selectedFilter >= 1 && request.selectedFilter <= filters.size())
        dialog.selectNameFilter(filters[request.selectedFilter - 1]);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                           : QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString DesktopPlatform::saveFile(const SaveFileRequest &request)
{
    QFileDialog dialog(request.owner, request.title, request.initialDir);
    dialog.setNameFilters(qtFilters(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString DesktopPlatform::browseForFolder(const QString &title, QWidget *owner)
{
    const QString dir = QFileDialog::getExistingDirectory(owner, title);
    if (dir.isNull())
        return QString::fromLatin1(CanceledFolderPick);
    return dir;
}

bool DesktopPlatform::openDocument(const QString &pathOrUrl)
{
    const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl)
                                                  : QUrl::fromUserInput(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

bool DesktopPlatform::openFolder(const QString &folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool DesktopPlatform::showFileProperties(const QString &path, QWidget *owner)
{
    QDBusInterface fm(QStringLiteral("org.freedesktop.FileManager1"),
                      QStringLiteral("/org/freedesktop/FileManager1"),
                      QStringLiteral("org.freedesktop.FileManager1"),
                      QDBusConnection::sessionBus());
    if (fm.isValid()) {
        const QDBusMessage reply =
            fm.call(QStringLiteral("ShowItemProperties"),
                    QStringList{QUrl::fromLocalFile(path).toString()}, QString());
        if (reply.type() == QDBusMessage::ReplyMessage)
            return true;
    }
    FilePropertiesDialog dialog(path, owner);
    dialog.exec();
    return true;
}

bool DesktopPlatform::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool DesktopPlatform::requestShutdown()
{
    QDBusInterface logind(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
    if (!logind.isValid())
        return false;
    // Not interactive: no authentication prompt; the system may refuse.
    const QDBusMessage reply = logind.call(QStringLiteral("PowerOff"), false);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool DesktopPlatform::previousInstanceRunning()
{
    return m_instance.heldByAnother();
}

bool DesktopPlatform::handFilesToRunningInstance(const QStringList &files)
{
    return !m_instance.socketPath().isEmpty() &&
           InstanceChannel::send(m_instance.socketPath(), files, HandOverTimeoutMs);
}

void DesktopPlatform::receiveFilesFromLaterStarts(HandedFilesReceiver &receiver)
{
    if (m_channel || m_instance.socketPath().isEmpty())
        return;
    m_channel = std::make_unique<InstanceChannel>(m_instance.socketPath());
    QObject::connect(m_channel.get(), &InstanceChannel::filesReceived, m_channel.get(),
                     [&receiver](const QStringList &files) { receiver.filesHandedOver(files); });
    // Without the socket later starts still end as before; they only cannot hand files over.
    m_channel->listen();
}

void DesktopPlatform::setTaskbarProgress(double fraction)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.send(DesktopBus::launcherEntryUpdate(fraction));
}

void DesktopPlatform::notifyRunFinished(int converted, int failed)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.send(DesktopBus::runFinishedNotification(converted, failed));
}
