#include "app/frmsplash.h"

#include "app/frmdialog.h"
#include "ui/skin/skinengine.h"
#include "ui/skin/skinlibrary.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QStyleOption>
#include <QTimer>
#include <QVBoxLayout>

#include "version.h"

frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Tonewright"));
    setFixedSize(460, 240);
    // Lets the skin paint this plain widget's background.
    setAttribute(Qt::WA_StyledBackground);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 20);
    auto *title = new QLabel(QStringLiteral("Tonewright"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSize(26);
    big.setBold(true);
    title->setFont(big);
    title->setProperty("skinRole", QStringLiteral("title"));
    auto *subtitle = new QLabel(QStringLiteral("Audio converter for MP3, WMA, OGG and WAV"), this);
    subtitle->setObjectName(QStringLiteral("lblSubtitle"));
    subtitle->setProperty("skinRole", QStringLiteral("tagline"));
    auto *version = new QLabel(QStringLiteral("Version ") + QStringLiteral(TWR_VERSION), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setProperty("skinRole", QStringLiteral("note"));
    auto *loading = new QLabel(QStringLiteral("Starting..."), this);
    loading->setObjectName(QStringLiteral("lblLoading"));
    auto *busy = new QProgressBar(this);
    busy->setObjectName(QStringLiteral("busyBar"));
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setFixedHeight(6);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addStretch(1);
    layout->addWidget(loading);
    layout->addWidget(busy);
    layout->addSpacing(4);
    layout->addWidget(version);

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
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
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

void frmSplash::paintEvent(QPaintEvent *)
{
    // A translucent window gets no background of its own: draw the style's (the skin's) here.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
