#include "app/frmsplash.h"

#include "app/frmdialog.h"
#include "engine/skinengine.h"
#include "engine/skinlibrary.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "version.h"

frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Tonewright"));
    setFixedSize(420, 220);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 20);
    auto *title = new QLabel(QStringLiteral("Tonewright"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSize(26);
    big.setBold(true);
    title->setFont(big);
    auto *subtitle = new QLabel(QStringLiteral("Audio converter for MP3, WMA, OGG and WAV"), this);
    subtitle->setObjectName(QStringLiteral("lblSubtitle"));
    auto *version = new QLabel(QStringLiteral("Version ") + QStringLiteral(TWR_VERSION), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *loading = new QLabel(QStringLiteral("Starting..."), this);
    loading->setObjectName(QStringLiteral("lblLoading"));
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addStretch(1);
    layout->addWidget(version);
    layout->addWidget(loading);

    m_skin = std::make_unique<SkinEngine>();
    Skin1 = m_skin.get();

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(HandOverMs);
    Timer2->setSingleShot(true);
    Timer2->setTimerType(Qt::PreciseTimer);
    connect(Timer2, &QTimer::timeout, this, &frmSplash::Timer2_Timer);
}

frmSplash::~frmSplash() = default;

void frmSplash::Form_Load()
{
    const QString skinFile = frmDialog::skinTempFile();
    SkinLibrary().LoadSkin(skinFile, SkinLibrary::SkinResourceName);
    Skin1->loadSkinFile(skinFile);
    Skin1->applySkin(this, QStringLiteral("FreeForm"));
    show();
    Timer2->start();
}

void frmSplash::Timer2_Timer()
{
    Timer2->stop();
    emit handOver();
    close();
    deleteLater();
}
