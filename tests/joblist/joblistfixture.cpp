#include "joblistfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVBoxLayout>

void ScriptedProbe::prepare()
{
    ++prepared;
}

std::optional<AudioFacts> ScriptedProbe::probe(const QString &path)
{
    probed << path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray content = file.readAll();
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

    JobListWiring wiring;
    wiring.jobs = &jobs;
    wiring.viewEvent = view;
    wiring.window = &window;
    wiring.StatusBar1 = statusBar;
    wiring.txtFolder = txtFolder;
    wiring.probe = &probe;
    wiring.rightmenu = rightmenu;
    wiring.CurrentFile = &CurrentFile;
    wiring.HoverRow = &HoverRow;
    wiring.intCurItem = &intCurItem;
    wiring.IsPlaying = &IsPlaying;
    wiring.convertIntoSourceFolder = [this] {
        return intoSourceFolder;
    };
    wiring.tagEditorOpen = [this] {
        return tagMode;
    };
    wiring.LeaveTagMode = [this] {
        ++leftTagMode;
        tagMode = false;
    };
    wiring.EnterTagMode = [this] {
        ++enteredTagMode;
    };
    wiring.LoadTags = [this](const QString &path) {
        loadedTags << path;
    };
    wiring.destroyTooltip = [this] {
        ++tooltipsDestroyed;
    };
    wiring.popupMenu = [this](QMenu *menu, const QPoint &) {
        popups << menu;
    };
    controller = std::make_unique<JobListController>(std::move(wiring));
    controller->attachView();
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
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("ms=" + QByteArray::number(ms));
    return path;
}

QString JobListFixture::notAudio(const QString &relative)
{
    const QString path = dir.filePath(relative);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("not audio");
    return path;
}

QStringList JobListFixture::names() const
{
    QStringList result;
    for (int row = 0; row < jobs.count(); ++row)
        result << jobs.text(row, JobColumn::Name);
    return result;
}
