#include "update/frmupdate.h"

#include "platform/platform.h"
#include "settings/profile.h"
#include "ui/skin/skinengine.h"
#include "ui/statusbar.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString Caption = QStringLiteral("Live Update");
const QString TransferError =
    QStringLiteral("An error has occured in the file transfer or write.  Please try again later.");

// The name a download is saved under: the address's last path segment.
QString savedName(const QUrl &url)
{
    const QString name = url.fileName();
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return name;
}

bool isSha256(const QByteArray &hex)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9A-Fa-f]{64}$"));
    return pattern.match(QString::fromLatin1(hex)).hasMatch();
}

} // namespace

frmUpdate::frmUpdate(const UpdateConfig &config, SkinEngine *skin, QWidget *parent)
    : QDialog(parent)
    , m_config(config)
    , m_transfer(config.stallTimeoutMs)
{
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(Caption);
    build();
    connect(&m_transfer, &Transfer::runningChanged, this, &frmUpdate::refreshStatusPanel);

    if (skin)
        skin->applyDefaultSkin(this);
    m_status = QStringLiteral("Idle");
    m_elapsed = 0;
    refreshStatusPanel();

    if (m_config.descriptionUrl.isEmpty()) {
        Label1->setText(QStringLiteral("This copy of Tonewright was built without an update "
                                       "address, so it cannot check for updates."));
        Command1->setEnabled(false);
    } else if (!UpdateConfig::isFetchable(QUrl(m_config.descriptionUrl))) {
        Label1->setText(QStringLiteral("The update address %1 is not a secure (https://) "
                                       "address, so Tonewright does not check it.")
                            .arg(m_config.descriptionUrl));
        Command1->setEnabled(false);
    }
}

frmUpdate::~frmUpdate() = default;

void frmUpdate::build()
{
    Label1 = new QLabel(QStringLiteral("Click \"Begin Live Update\" to Start"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setMinimumHeight(40);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 3);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Command1 = new QPushButton(QStringLiteral("&Begin Live Update..."), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, &frmUpdate::Command1_Click);

    StatusBar1 = new StatusBar(this, {3, 2});
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, &frmUpdate::Timer2_Timer);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);

    auto *content = new QVBoxLayout;
    content->setContentsMargins(12, 12, 12, 6);
    content->addWidget(Label1);
    content->addWidget(ProgressBar1);
    content->addLayout(buttons);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(content, 1);
    outer->addWidget(StatusBar1);
    resize(420, 170);
}

void frmUpdate::Command1_Click()
{
    m_elapsed = 0;
    Timer2->start(1000);
    Command1->setEnabled(false);
    ProgressBar1->setValue(1);
    setStatus(QStringLiteral("Checking for updated version."));

    const QString description =
        DownloadToFolder(m_config.descriptionUrl, m_config.folder, m_config.descriptionLimit);
    if (description.isEmpty() || m_closing) {
        endCheck(false);
        return;
    }

    ProgressBar1->setValue(2);
    setStatus(QStringLiteral("Version check success."));

    const QString section = QStringLiteral("version");
    const QString current = ReadIni(description, section, QStringLiteral("current"));
    if (ReadIni(description, section, QStringLiteral("avi")) != QLatin1String("new")) {
        Label1->setText(QStringLiteral("There is no update available. Current Version: ") +
                        current);
        endCheck(true);
        return;
    }

    Label1->setText(QStringLiteral("There is an update available to version ") + current);
    const MessageAnswer answer = Platform::instance().messageBox(
        QStringLiteral("Do you want to downloading the updated file now?"), Caption,
        MessageButtons::OkCancel, MessageIcon::None, this);
    if (answer != MessageAnswer::Ok) {
        close();
        return;
    }

    setStatus(QStringLiteral("Downloading now, please wait..."));
    const QByteArray sha256 =
        ReadIni(description, section, QStringLiteral("sha256")).trimmed().toLatin1();
    QString installer;
    if (isSha256(sha256)) {
        installer = DownloadToFolder(m_config.installerUrl, m_config.folder,
                                     m_config.installerLimit, sha256);
    } else {
        // Without a checksum nothing tells a genuine installer from a substituted one, so it
        // is not even fetched.
        Platform::instance().messageBox(
            QStringLiteral("The update %1 could not be verified: the update description gives "
                           "no SHA-256 checksum for it, so it was not downloaded.")
                .arg(savedName(QUrl(m_config.installerUrl))),
            Caption, MessageButtons::Ok, MessageIcon::Warning, this);
    }
    ProgressBar1->setValue(3);
    if (installer.isEmpty() || m_closing) {
        endCheck(true);
        return;
    }

    Timer2->stop();
    Platform::instance().messageBox(QStringLiteral("Live Update Complete!"),
                                    QStringLiteral("Tonewright"), MessageButtons::Ok,
                                    MessageIcon::Information, this);
    Platform::instance().openDocument(installer);
    close();
}

QString frmUpdate::DownloadToFolder(const QString &url, const QString &folder, qint64 maxBytes,
                                    const QByteArray &sha256)
{
    if (m_transfer.isRunning())
        return {};
    const QUrl address(url);
    const QString name = savedName(address);
    const QString target = QDir(folder).filePath(name);

    Transfer::Outcome outcome = Transfer::Outcome::Failed;
    if (!name.isEmpty())
        outcome = m_transfer.download({address, target, maxBytes, sha256});

    switch (outcome) {
    case Transfer::Outcome::Saved:
        return target;
    case Transfer::Outcome::Busy:
    case Transfer::Outcome::Cancelled:
        return {};
    case Transfer::Outcome::NotVerified:
        Platform::instance().messageBox(
            QStringLiteral("The downloaded file %1 could not be verified: its SHA-256 checksum "
                           "differs from the one the update description gives. The file was "
                           "deleted and nothing was started.")
                .arg(name),
            Caption, MessageButtons::Ok, MessageIcon::Warning, this);
        return {};
    default:
        Platform::instance().messageBox(TransferError, QStringLiteral("Tonewright"),
                                        MessageButtons::Ok, MessageIcon::Information, this);
        return {};
    }
}

void frmUpdate::done(int result)
{
    m_closing = true;
    m_transfer.cancel();
    Timer2->stop();
    QDialog::done(result);
}

void frmUpdate::Timer2_Timer()
{
    ++m_elapsed;
    StatusBar1->setPanelText(2, QStringLiteral("Time: %1 Seconds").arg(m_elapsed));
}

void frmUpdate::setStatus(const QString &text)
{
    m_status = text;
    refreshStatusPanel();
}

void frmUpdate::refreshStatusPanel()
{
    StatusBar1->setPanelText(1, QStringLiteral("Status: ") +
                                    (m_transfer.isRunning() ? m_status : QStringLiteral("Idle")));
}

void frmUpdate::endCheck(bool enableButton)
{
    ProgressBar1->setValue(3);
    Timer2->stop();
    Command1->setEnabled(enableButton);
}
