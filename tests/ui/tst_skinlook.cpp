// How the shipped skin looks on windows like the program's: dark and tinted, recoloured by
// the hue, a shaped splash. Set TWR_SKIN_SHOT_DIR to keep the pictures.
#include "tests/support/testenv.h"
#include "ui/skin/skinengine.h"

#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace {

std::unique_ptr<QMainWindow> makeMainWindow()
{
    auto window = std::make_unique<QMainWindow>();
    window->menuBar()->addMenu(QStringLiteral("File"));
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *convert = new QPushButton(QStringLiteral("Convert Now!"));
    convert->setObjectName(QStringLiteral("cmdConvert"));
    convert->setDefault(true);
    layout->addWidget(new QPushButton(QStringLiteral("Add Files")));
    layout->addWidget(convert);
    auto *list = new QTreeWidget;
    list->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("Status")});
    for (const char *name : {"Morning Light.mp3", "Harbour.ogg", "Low Tide.wav"})
        new QTreeWidgetItem(list, {QString::fromLatin1(name), QStringLiteral("Ready")});
    layout->addWidget(list, 1);
    layout->addWidget(new QRadioButton(QStringLiteral("MP3")));
    layout->addWidget(new QSlider(Qt::Horizontal));
    layout->addWidget(new QProgressBar);
    window->setCentralWidget(central);
    window->statusBar()->addWidget(new QLabel(QStringLiteral("Status: Converting")));
    window->resize(720, 480);
    return window;
}

QImage shot(QWidget *window, const QString &name)
{
    window->show();
    // A new style sheet changes size hints; let the layouts settle before the picture.
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
    const QImage image = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QString folder = qEnvironmentVariable("TWR_SKIN_SHOT_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(QDir(folder).filePath(name + QStringLiteral(".png")));
    return image;
}

QColor pixelAt(const QImage &image, QWidget *window, QWidget *child, QPoint offset = {})
{
    return image.pixelColor(child->mapTo(window, child->rect().center() + offset));
}

int hueDistance(int a, int b)
{
    const int d = qAbs(a - b) % 360;
    return qMin(d, 360 - d);
}

} // namespace

class TestSkinLook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mainWindowIsDarkAndTurnsWithTheHue();
    void splashIsShapedAndBranded();

private:
    TestConfigDir m_config;
    SkinEngine m_engine;
};

void TestSkinLook::initTestCase()
{
    QVERIFY(
        m_engine.loadSkinFile(TestEnv::sourceDir() + QStringLiteral("/resources/skin/media.skn")));
}

void TestSkinLook::mainWindowIsDarkAndTurnsWithTheHue()
{
    auto window = makeMainWindow();
    QWidget *convert = window->findChild<QPushButton *>(QStringLiteral("cmdConvert"));
    auto *list = window->findChild<QTreeWidget *>();
    const QImage plain = shot(window.get(), QStringLiteral("skin-plain"));

    m_engine.setHue(0);
    m_engine.applyDefaultSkin(window.get());
    const QImage at0 = shot(window.get(), QStringLiteral("skin-main"));
    // Dark background, the default button in the accent colour.
    QVERIFY(at0.pixelColor(4, window->height() / 2).lightness() < 60);
    QVERIFY(plain.pixelColor(4, window->height() / 2).lightness() > 150);
    const QColor accent0 = pixelAt(at0, window.get(), convert, QPoint(0, 6));
    QVERIFY2(accent0.hslSaturation() > 100, qPrintable(accent0.name()));

    m_engine.setHue(4 * 30);
    const QImage at120 = shot(window.get(), QStringLiteral("skin-main-hue120"));
    const QColor accent120 = pixelAt(at120, window.get(), convert, QPoint(0, 6));
    QVERIFY2(hueDistance(accent120.hslHue(), accent0.hslHue() + 120) <= 8,
             qPrintable(accent0.name() + u' ' + accent120.name()));
    // The tinted list background turns too, staying dark.
    const QColor list120 = pixelAt(at120, window.get(), list, QPoint(0, 40));
    QVERIFY(pixelAt(at0, window.get(), list, QPoint(0, 40)) != list120);
    QVERIFY(list120.lightness() < 60);

    m_engine.setHue(0);
    QCOMPARE(window->grab().toImage().convertToFormat(at0.format()), at0);
}

void TestSkinLook::splashIsShapedAndBranded()
{
    QWidget splash;
    auto *layout = new QVBoxLayout(&splash);
    auto *title = new QLabel(QStringLiteral("Tonewright"));
    title->setProperty("skinRole", QStringLiteral("title"));
    auto *tagline = new QLabel(QStringLiteral("Every format. Every track. One click."));
    tagline->setProperty("skinRole", QStringLiteral("tagline"));
    layout->addStretch();
    layout->addWidget(title);
    layout->addWidget(tagline);
    layout->addStretch();
    splash.resize(480, 270);

    m_engine.setHue(0);
    m_engine.applySkin(&splash, QStringLiteral("FreeForm"));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    const QImage at0 = shot(&splash, QStringLiteral("skin-splash"));
    // Rounded: the very corner is see-through, the face is a saturated gradient.
    QCOMPARE(at0.pixelColor(1, 1).alpha(), 0);
    QCOMPARE(at0.pixelColor(at0.width() - 2, at0.height() - 2).alpha(), 0);
    const QColor face = at0.pixelColor(at0.width() / 2, 12);
    QCOMPARE(face.alpha(), 255);
    QVERIFY(face.hslSaturation() > 100);
    QVERIFY(title->fontInfo().pointSize() >= 24); // the product name is drawn large

    m_engine.setHue(4 * 30);
    const QImage at120 = shot(&splash, QStringLiteral("skin-splash-hue120"));
    QVERIFY(hueDistance(at120.pixelColor(at120.width() / 2, 12).hslHue(), face.hslHue() + 120) <=
            8);
    m_engine.setHue(0);
}

QTEST_MAIN(TestSkinLook)
#include "tst_skinlook.moc"
