#include "joblistfixture.h"

#include "tests/support/testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QVBoxLayout>

std::optional<AudioFacts> ScriptedProbe::probe(const QString &path)
{
    probed << path;
    const QByteArray content = TestEnv::readFile(path);
    if (!content.startsWith("ms="))
        return std::nullopt;
    return AudioFacts{content.mid(3).trimmed().toLongLong(), QFileInfo(path).size()};
}

JobListFixture::JobListFixture()
{
    auto *layout = new QVBoxLayout(&window);
    view = new QTreeView(&window);
    view->setObjectName("viewEvent");
    layout->addWidget(view);
    txtFolder = new QLineEdit("/output", &window);
    layout->addWidget(txtFolder);
    statusBar = new StatusBar(&window);
    layout->addWidget(statusBar);
    rightmenu = new QMenu(&window);

    controller = std::make_unique<JobListCommands>(
        JobListWidgets{jobs, *view, window, *statusBar, *txtFolder, *rightmenu}, state, probe,
        options, tagEditor);
    QObject::connect(controller.get(), &JobListCommands::hoverCleared,
                     [this] { ++tooltipsDestroyed; });
    QObject::connect(controller.get(), &JobListCommands::popupRequested,
                     [this](QMenu *menu, const QPoint &) { popups << menu; });
    window.resize(900, 400);
}

JobListFixture::~JobListFixture()
{
    controller.reset();
}

QString JobListFixture::audio(const QString &relative, qint64 ms)
{
    const QString path = dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    TestEnv::writeFile(path, "ms=" + QByteArray::number(ms));
    return path;
}

QString JobListFixture::notAudio(const QString &relative)
{
    const QString path = dir.filePath(relative);
    TestEnv::writeFile(path, "not audio");
    return path;
}

QStringList JobListFixture::names() const
{
    QStringList result;
    for (int row = 0; row < jobs.count(); ++row)
        result << jobs.text(row, JobColumn::Name);
    return result;
}
