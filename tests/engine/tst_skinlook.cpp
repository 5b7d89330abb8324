// How the shipped skin looks on windows like the program's: dark and tinted, recoloured by
// the hue, a shaped splash. Set TWR_SKIN_SHOT_DIR to keep the pictures.
#include "engine/skinengine.h"
#include "tests/support/testenv.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace {

std::unique_ptr<QMainWindow> makeMainWindow()
{
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(QStringLiteral("Tonewright"));
    for (const char *title : {"File", "Action", "Help"})
        window->menuBar()->addMenu(QString::fromLatin1(title));

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    auto *buttons = new QHBoxLayout;
    for (const char *caption : {"Add Files", "Remove", "Clear"})
        buttons->addWidget(new QPushButton(QString::fromLatin1(caption)));
    buttons->addStretch();
    auto *convert = new QPushButton(QStringLiteral("Convert Now!"));
    convert->setObjectName(QStringLiteral("cmdConvert"));
    convert->setDefault(true);
    buttons->addWidget(convert);
    layout->addLayout(buttons);

    auto *list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setAlternatingRowColors(true);
    list->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("Length"),
                           QStringLiteral("Size"), QStringLiteral("Status"),
                           QStringLiteral("From...")});
    const QStringList names{QStringLiteral("Morning Light.mp3"), QStringLiteral("Harbour.ogg"),
                            QStringLiteral("Low Tide.wav"), QStringLiteral("Evening.wma")};
    for (int i = 0; i < names.size(); ++i) {
        auto *item = new QTreeWidgetItem(
            list, {names[i], QStringLiteral("0%1:2%2").arg(3 + i).arg(i * 7 % 10),
                   QStringLiteral("%1.2 MB").arg(4 + i),
                   i == 0 ? QStringLiteral("Converting") : QStringLiteral("Ready"),
                   QStringLiteral("/home/ann/Music")});
        item->setCheckState(0, i == 2 ? Qt::Unchecked : Qt::Checked);
    }
    list->setCurrentItem(list->topLevelItem(1));
    list->header()->resizeSection(0, 180);
    layout->addWidget(list, 1);

    auto *format = new QHBoxLayout;
    format->addWidget(new QLabel(QStringLiteral("Output Format:")));
    auto *group = new QButtonGroup(central);
    for (const char *name : {"MP3", "WMA", "OGG", "WAV"}) {
        auto *radio = new QRadioButton(QString::fromLatin1(name));
        group->addButton(radio);
        format->addWidget(radio);
    }
    group->buttons().first()->setChecked(true);
    format->addSpacing(12);
    format->addWidget(new QLineEdit(QStringLiteral("/home/ann/Converted")), 1);
    format->addWidget(new QPushButton(QStringLiteral("...")));
    layout->addLayout(format);

    auto *player = new QHBoxLayout;
    for (const char *caption : {"Play", "Pause", "Stop"})
        player->addWidget(new QPushButton(QString::fromLatin1(caption)));
    auto *position = new QSlider(Qt::Horizontal);
    position->setRange(0, 100);
    position->setValue(35);
    player->addWidget(position, 1);
    layout->addLayout(player);

    for (int value : {62, 35}) {
        auto *bar = new QProgressBar;
        bar->setValue(value);
        layout->addWidget(bar);
    }
    window->setCentralWidget(central);
    for (const char *text : {"Save to: '/home/ann/Converted'", "Total Selected Files: 3",
                             "Output Format: MP3", "Status: Converting"})
        window->statusBar()->addWidget(new QLabel(QString::fromLatin1(text)), 1);
    window->resize(720, 480);
    return window;
}

std::unique_ptr<QDialog> makeOptionsDialog()
{
    auto dialog = std::make_unique<QDialog>();
    dialog->setWindowTitle(QStringLiteral("Options"));
    auto *layout = new QVBoxLayout(dialog.get());
    auto *tabs = new QTabWidget;
    auto *general = new QWidget;
    auto *page = new QVBoxLayout(general);

    auto *output = new QGroupBox(QStringLiteral("Output"));
    auto *outputLayout = new QVBoxLayout(output);
    auto *folder = new QHBoxLayout;
    folder->addWidget(new QLineEdit(QStringLiteral("/home/ann/Converted")), 1);
    folder->addWidget(new QPushButton(QStringLiteral("Browse...")));
    outputLayout->addLayout(folder);
    auto *same = new QCheckBox(QStringLiteral("Save to the source folder"));
    auto *open = new QCheckBox(QStringLiteral("Open the output folder after converting"));
    open->setChecked(true);
    outputLayout->addWidget(same);
    outputLayout->addWidget(open);
    outputLayout->addWidget(new QCheckBox(QStringLiteral("Overwrite existing files")));
    page->addWidget(output);

    auto *encoder = new QGroupBox(QStringLiteral("Encoder"));
    auto *encoderLayout = new QHBoxLayout(encoder);
    auto *bitrate = new QComboBox;
    bitrate->addItems({QStringLiteral("192 kbit/s"), QStringLiteral("256 kbit/s")});
    encoderLayout->addWidget(new QLabel(QStringLiteral("Bitrate")));
    encoderLayout->addWidget(bitrate);
    auto *quality = new QSpinBox;
    quality->setRange(0, 9);
    quality->setValue(2);
    encoderLayout->addWidget(new QLabel(QStringLiteral("Quality")));
    encoderLayout->addWidget(quality);
    encoderLayout->addStretch();
    page->addWidget(encoder);

    auto *theme = new QGroupBox(QStringLiteral("Colour theme"));
    auto *themeLayout = new QHBoxLayout(theme);
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, 11);
    slider->setValue(4);
    themeLayout->addWidget(slider);
    page->addWidget(theme);
    page->addStretch();

    tabs->addTab(general, QStringLiteral("General"));
    for (const char *name : {"MP3", "OGG", "WAV", "WMA"})
        tabs->addTab(new QWidget, QString::fromLatin1(name));
    layout->addWidget(tabs);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                     QDialogButtonBox::Apply);
    box->button(QDialogButtonBox::Ok)->setDefault(true);
    layout->addWidget(box);
    dialog->resize(480, 460);
    return dialog;
}

std::unique_ptr<QWidget> makeSplash()
{
    auto splash = std::make_unique<QWidget>();
    splash->setWindowTitle(QStringLiteral("Tonewright"));
    auto *layout = new QVBoxLayout(splash.get());
    layout->setContentsMargins(36, 30, 36, 26);
    auto *title = new QLabel(QStringLiteral("Tonewright"));
    title->setProperty("skinRole", QStringLiteral("title"));
    auto *tagline = new QLabel(QStringLiteral("Every format. Every track. One click."));
    tagline->setProperty("skinRole", QStringLiteral("tagline"));
    auto *note = new QLabel(QStringLiteral("Starting..."));
    note->setProperty("skinRole", QStringLiteral("note"));
    auto *bar = new QProgressBar;
    bar->setValue(40);
    layout->addStretch();
    layout->addWidget(title);
    layout->addWidget(tagline);
    layout->addStretch();
    layout->addWidget(note);
    layout->addWidget(bar);
    splash->resize(480, 270);
    return splash;
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
    const QPoint point = child->mapTo(window, child->rect().center() + offset);
    return image.pixelColor(point);
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
    void optionsDialogTakesTheFormLook();
    void splashIsShapedAndBranded();
    void popupMenuIsDrawnInTheSkin();

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
    // Dark background, light text, the default button in the accent colour.
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
    const QColor list0 = pixelAt(at0, window.get(), list, QPoint(0, 60));
    const QColor list120 = pixelAt(at120, window.get(), list, QPoint(0, 60));
    QVERIFY(list0 != list120);
    QVERIFY(list120.lightness() < 60);

    m_engine.setHue(0);
    QCOMPARE(window->grab().toImage().convertToFormat(at0.format()), at0);
}

void TestSkinLook::optionsDialogTakesTheFormLook()
{
    auto dialog = makeOptionsDialog();
    m_engine.setHue(0);
    m_engine.applySkin(dialog.get(), QStringLiteral("Form"));
    const QImage image = shot(dialog.get(), QStringLiteral("skin-options"));
    auto *group = dialog->findChild<QGroupBox *>();
    const QColor panel = pixelAt(image, dialog.get(), group, QPoint(group->width() / 2 - 20, 0));
    QVERIFY(image.pixelColor(2, dialog->height() - 4).lightness() < 60);
    QVERIFY(panel.lightness() < 80);
    QVERIFY(panel != image.pixelColor(2, dialog->height() - 4)); // frames stand out
    m_engine.setHue(7 * 30);
    shot(dialog.get(), QStringLiteral("skin-options-hue210"));
    m_engine.setHue(0);
}

void TestSkinLook::splashIsShapedAndBranded()
{
    auto splash = makeSplash();
    m_engine.setHue(0);
    m_engine.applySkin(splash.get(), QStringLiteral("FreeForm"));
    QVERIFY(splash->windowFlags() & Qt::FramelessWindowHint);
    const QImage at0 = shot(splash.get(), QStringLiteral("skin-splash"));
    // Rounded: the very corner is see-through, the face is a saturated gradient.
    QCOMPARE(at0.pixelColor(1, 1).alpha(), 0);
    QCOMPARE(at0.pixelColor(at0.width() - 2, at0.height() - 2).alpha(), 0);
    const QColor face = at0.pixelColor(at0.width() / 2, 12);
    QCOMPARE(face.alpha(), 255);
    QVERIFY(face.hslSaturation() > 100);
    // The product name is drawn large.
    auto *title = splash->findChild<QLabel *>();
    QCOMPARE(title->text(), QStringLiteral("Tonewright"));
    QVERIFY(title->fontInfo().pointSize() >= 24);

    m_engine.setHue(4 * 30);
    const QImage at120 = shot(splash.get(), QStringLiteral("skin-splash-hue120"));
    const QColor face120 = at120.pixelColor(at120.width() / 2, 12);
    QVERIFY(hueDistance(face120.hslHue(), face.hslHue() + 120) <= 8);
    m_engine.setHue(0);
}

void TestSkinLook::popupMenuIsDrawnInTheSkin()
{
    auto window = makeMainWindow();
    m_engine.setHue(0);
    m_engine.applyDefaultSkin(window.get());
    window->show();
    QMenu menu(window.get());
    menu.addAction(QStringLiteral("Convert to MP3"));
    menu.addAction(QStringLiteral("Convert to OGG"));
    menu.addSeparator();
    menu.addAction(QStringLiteral("Play Source File"));
    QAction *disabled = menu.addAction(QStringLiteral("Edit ID3 Tag"));
    disabled->setEnabled(false);
    m_engine.skinnedWindow(window.get()).popupMenu(&menu, 40, 40);
    menu.setActiveAction(menu.actions().at(1));
    const QImage image = shot(&menu, QStringLiteral("skin-menu"));
    QVERIFY(image.pixelColor(image.width() / 2, image.height() - 4).lightness() < 80);
    // The active entry is marked in the accent colour.
    const QColor active =
        image.pixelColor(menu.actionGeometry(menu.actions().at(1)).topLeft() + QPoint(6, 4));
    QVERIFY2(active.hslSaturation() > 100, qPrintable(active.name()));
}

QTEST_MAIN(TestSkinLook)
#include "tst_skinlook.moc"
