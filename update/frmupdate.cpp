#include "update/frmupdate.h"

#include "platform/platform.h"
#include "settings/profile.h"
#include "ui/skin/skinengine.h"
#include "ui/statusbar.h"
#include "update/signaturecheck.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVersionNumber>

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

// Where a file's signature lies: its own address with ".minisig" appended.
QUrl signatureOf(QUrl url)
{
    url.setPath(url.path() + QStringLiteral(".minisig"));
    return url;
}

} // namespace

frmUpdate::frmUpdate(const UpdateConfig &config, SkinEngine *skin, QWidget *parent)
    : QDialog(parent)
    , m_config(config)
    , m_transfer(config.stallTimeoutMs)
    , m_key(SigningKey::fromBase64(config.publicKey))
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
    } else if (!m_key) {
        Label1->setText(QStringLiteral("This copy of Tonewright was built without the key that "
                                       "updates are signed with, so it cannot check for updates."));
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

    if (!isNewer(current)) {
        QFile::remove(description);
        Label1->setText(QStringLiteral("There is no update available. Current Version: ") +
                        m_config.runningVersion);
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
    const QString installer =
        DownloadToFolder(m_config.installerUrl, m_config.folder, m_config.installerLimit);
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

QString frmUpdate::DownloadToFolder(const QString &url, const QString &folder, qint64 maxBytes)
{
    if (m_transfer.isRunning())
        return {};
    const QUrl address(url);
    const QString name = savedName(address);
    if (name.isEmpty() || !m_key)
        return failed(Transfer::Outcome::Failed);

    // The signature comes first: a file that cannot be verified is not even fetched.
    QByteArray signatureFile;
    Transfer::Outcome outcome = m_transfer.download(
        {signatureOf(address), {}, &signatureFile, SignatureCheck::MaxFileSize});
    const QString signatureName = name + QStringLiteral(".minisig");
    if (outcome == Transfer::Outcome::NotFound)
        return refuse(
            name,
            QStringLiteral("its signature %1 is missing on the update server").arg(signatureName));
    if (outcome == Transfer::Outcome::TooLarge)
        outcome = Transfer::Outcome::Saved; // too long for a signature: malformed, below
    else if (outcome != Transfer::Outcome::Saved)
        return failed(outcome);

    SignatureCheck signature(*m_key, signatureFile);
    switch (signature.state()) {
    case SignatureCheck::State::Ready:
        break;
    case SignatureCheck::State::Malformed:
        return refuse(name, QStringLiteral("its signature %1 is not a signature in minisign's "
                                           "format")
                                .arg(signatureName));
    case SignatureCheck::State::OtherKey:
        return refuse(name, QStringLiteral("it was signed with another key than the one this "
                                           "copy of Tonewright trusts"));
    case SignatureCheck::State::Altered:
        return refuse(name, QStringLiteral("the trusted comment of its signature %1 was changed "
                                           "after signing")
                                .arg(signatureName));
    }

    const QString target = QDir(folder).filePath(name);
    outcome = m_transfer.download({address, target, nullptr, maxBytes, &signature});
    if (outcome == Transfer::Outcome::Saved)
        return target;
    if (outcome == Transfer::Outcome::NotVerified)
        return refuse(name, QStringLiteral("it was changed after it was signed"));
    return failed(outcome);
}

QString frmUpdate::failed(Transfer::Outcome outcome)
{
    if (outcome != Transfer::Outcome::Busy && outcome != Transfer::Outcome::Cancelled)
        Platform::instance().messageBox(TransferError, QStringLiteral("Tonewright"),
                                        MessageButtons::Ok, MessageIcon::Information, this);
    return {};
}

QString frmUpdate::refuse(const QString &name, const QString &why)
{
    Platform::instance().messageBox(
        QStringLiteral("The update file %1 was refused: %2. Nothing was kept or opened.")
            .arg(name, why),
        Caption, MessageButtons::Ok, MessageIcon::Warning, this);
    return {};
}

bool frmUpdate::isNewer(const QString &offered)
{
    const QString name = savedName(QUrl(m_config.descriptionUrl));
    const QVersionNumber version = QVersionNumber::fromString(offered.trimmed()).normalized();
    if (version.isNull()) {
        refuse(name, QStringLiteral("it offers no version number (\"%1\")").arg(offered));
        return false;
    }
    const QVersionNumber running = QVersionNumber::fromString(m_config.runningVersion);
    if (version <= running.normalized()) {
        refuse(name, QStringLiteral("the version it offers, %1, is not newer than this copy's "
                                    "version %2")
                         .arg(offered.trimmed(), m_config.runningVersion));
        return false;
    }
    return true;
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
